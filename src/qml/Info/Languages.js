.pragma library

// The languages offered, as shown to the user (each in its own language) and as the name of the
// translation file handed to the controller.
var labels = ["English", "Français", "Italiano", "日本語", "Deutsch", "Español", "简体中文", "繁體中文",
              "Čeština", "Português", "Русский", "Polski", "العربية"];
var names = ["English", "French", "Italian", "Japanese", "German", "Spanish", "SimpleChinese",
             "TradChinese", "Czech", "Portuguese", "Russian", "Polish", "Arabic"];

// The entry that belongs to a translation name; an unknown name shows the first entry (English),
// which is what the program runs in when no translation loads.
function indexOfName(name) {
    var i = names.indexOf(name);
    return i >= 0 ? i : 0;
}

function nameAt(index) {
    return index >= 0 && index < names.length ? names[index] : "";
}
