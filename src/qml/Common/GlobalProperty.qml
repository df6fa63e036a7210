import QtQuick 2.15

// Looks and tables every page shares. The window makes one instance with the id _GProperty_;
// components reach it through that id.
//
// Font set: every entry of fontSet is a plain object { family, size, bold, color }, used as
//     font.family: _GProperty_.fontSet.f001.family
//     font.pixelSize: _GProperty_.fontSet.f001.size
//     font.bold: _GProperty_.fontSet.f001.bold
//     color: _GProperty_.fontSet.f001.color
// or, for a Text, all at once with applyFont(textItem, "f001").
//
// Input expressions: inputRegExps[n] is the anchored expression of number n (the whole text must
// match), inputRegExpNames[n] its name. Input boxes and validators select them by number.
Item {
    id: root

    visible: false

    readonly property string strVersion: qsTr("Version 1.0.0.4")

    FontLoader {
        id: droidFont
        source: "qrc:/src/qml/res/fonts/DroidSansFallback.ttf"
    }
    FontLoader {
        id: robotoFont
        source: "qrc:/src/qml/res/fonts/Roboto-Regular.ttf"
    }

    // Until a loader is ready its name is empty; the installed family names stand in.
    readonly property string defaultFamily: droidFont.name !== "" ? droidFont.name : "Droid Sans Fallback"
    readonly property string robotoFamily: robotoFont.name !== "" ? robotoFont.name : "Roboto"

    function makeFont(size, bold, color, family) {
        return { family: family === undefined ? root.defaultFamily : family, size: size, bold: bold, color: color };
    }

    readonly property var fontSet: ({
        f001: makeFont(14, false, "#ffffff"),
        f002: makeFont(14, true, "#ffffff"),
        f003: makeFont(14, true, "#7f8c8d"),
        f004: makeFont(14, false, "#8c8c8c"),
        f006: makeFont(14, false, "#333333"),
        f007: makeFont(10, true, "#ffffff"),
        f008: makeFont(10, true, "#333333"),
        f009: makeFont(13, false, "#464d4e"),
        f010: makeFont(12, false, "#ffffff"),
        f011: makeFont(18, false, "#ffffff"),
        f012: makeFont(14, false, "#7f8c8d"),
        f013: makeFont(12, false, "#7f8c8d"),
        f014: makeFont(18, true, "#7f8c8d"),
        f015: makeFont(13, false, "#ffffff"),
        f016: makeFont(12, false, "#bbd0d6", root.robotoFamily),
        f017: makeFont(15, false, "#bbd0d6", root.robotoFamily),
        fExtendButtonDescript: makeFont(12, false, "#f7f7f7")
    })

    // Sets family, size, weight and colour of a Text-like item from the named font-set entry.
    function applyFont(item, name) {
        var f = fontSet[name];
        if (!item || !f)
            return;
        item.font.family = f.family;
        item.font.pixelSize = f.size;
        item.font.bold = f.bold;
        if (item.color !== undefined)
            item.color = f.color;
    }

    // Colours and measures of the kit's looks.
    readonly property color dialogColor: "#1a1d24"
    readonly property color dialogTitleColor: "#242833"
    readonly property color pageColor: "#f0f0f0"
    readonly property color accentColor: "#1b8b9d"
    readonly property color accentHoverColor: "#25a3b7"
    readonly property color accentPressColor: "#12707f"
    readonly property color warningColor: "#e5a33b"
    readonly property color errorColor: "#e0544b"
    readonly property color lineColor: "#3a404d"
    readonly property color inputColor: "#2a2f3a"
    readonly property real disabledOpacity: 0.4
    readonly property int tipDelay: 1500
    readonly property int tipQuickDelay: 600
    readonly property int tipDuration: 6000

    // Images are named by their file; the name already is the one for every scale.
    function get2xPNG(name) {
        return name;
    }

    // Building blocks of the expressions below.
    readonly property string reOctet255: "(?:25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]\\d|\\d)"
    readonly property string reOctet254: "(?:25[0-4]|2[0-4]\\d|1\\d\\d|[1-9]\\d|\\d)"
    readonly property string reOctet1to254: "(?:25[0-4]|2[0-4]\\d|1\\d\\d|[1-9]\\d|[1-9])"
    readonly property string reOctet1to255: "(?:25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]\\d|[1-9])"
    readonly property string reEmailAtom: "[A-Za-z0-9!#$%'*+/=?^`{}~-]+"
    readonly property string reLabel: "[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?"
    readonly property string reEmail: reEmailAtom + "(?:\\." + reEmailAtom + ")*@" + "[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)*"
    readonly property string reH16: "[0-9a-fA-F]{1,4}"
    readonly property string reIpv4: "(?:" + reOctet255 + "\\.){3}" + reOctet255
    readonly property string reIpv6: "(?:"
        + "(?:" + reH16 + ":){7}" + reH16
        + "|(?:" + reH16 + ":){1,7}:"
        + "|(?:" + reH16 + ":){1,6}:" + reH16
        + "|(?:" + reH16 + ":){1,5}(?::" + reH16 + "){1,2}"
        + "|(?:" + reH16 + ":){1,4}(?::" + reH16 + "){1,3}"
        + "|(?:" + reH16 + ":){1,3}(?::" + reH16 + "){1,4}"
        + "|(?:" + reH16 + ":){1,2}(?::" + reH16 + "){1,5}"
        + "|" + reH16 + ":(?::" + reH16 + "){1,6}"
        + "|:(?:(?::" + reH16 + "){1,7}|:)"
        + "|(?:" + reH16 + ":){6}" + reIpv4
        + "|(?:" + reH16 + ":){0,5}:(?:" + reH16 + ":){0,4}" + reIpv4
        + "|::(?:" + reH16 + ":){0,5}" + reIpv4
        + ")"

    readonly property var inputRegExpNames: [
        "allRegExp", "passwordRegExp", "emailRegExp", "multipleEmailRegExp", "numRegExp",
        "allRegExp", "sysNameRegExp", "ipRegExp", "ipMaskRegExp", "ipv6RegExp",
        "portRegExp", "durationRegExp", "keepRecordDataRegExp", "presetNameRegExp", "smtpUserNameRegExp",
        "triggerDurationRegExp", "userAccountRegExp", "userNameInCamRegExp", "cameraNameRegExp", "videoTitleRegExp",
        "uploadFolderRegExp", "ftpUserNameRegExp", "receiverNameRegExp", "hostNameRegExp", "presetIntervalRegExp",
        "domainNameRegExp", "simplePasswordRegExp", "stringAll", "stringRestrictTail", "ipMaskWildRegExp",
        "ipMaskNonWildRegExp"
    ]

    // The patterns without anchors, in number order.
    readonly property var inputRegExpPatterns: [
        ".*",
        ".{0,64}",
        reEmail,
        "(?:" + reEmail + ";)*" + reEmail + ";?",
        "\\d*",
        ".*",
        "[\\w ]{0,64}",
        "(?:" + reOctet1to254 + ")(?:\\." + reOctet254 + "){3}",
        "(?:" + reOctet1to255 + ")(?:\\." + reOctet255 + "){3}",
        reIpv6,
        "(?:[1-9]\\d{0,3}|[1-5]\\d{4}|6[0-4]\\d{3}|65[0-4]\\d{2}|655[0-2]\\d|6553[0-5])",
        "(?:[5-9]|[1-9]\\d|[1-9]\\d\\d)",
        "[1-9]\\d{0,2}",
        "[\\w \\-\\.\\/]{0,30}",
        "[\\w \\-\\.,@]{1,64}",
        "(?:[3-9]|[1-9]\\d|1[0-7]\\d|180)",
        "[\\w \\-\\.,@]{1,64}",
        "[\\w\\^\\-\\.@~!$%]{0,64}",
        "[\\w\\- ]{0,64}",
        "[\\w !#$%\\-\\.@\\^~]{0,64}",
        "(?:[\\w-]?|[\\w-][\\w \\-\\./]{0,62}[\\w/-])",
        "[\\w \\-\\.,]{1,64}",
        "[A-Za-z0-9]{0,64}",
        "[A-Za-z0-9]{0,64}",
        "[1-9]\\d*",
        reLabel + "(?:\\." + reLabel + ")*",
        ".{1,64}",
        "[^\"'<>=&;`|$()]*",
        "[A-Za-z0-9.-]*[A-Za-z0-9]",
        "(?:" + reOctet255 + "|\\*)",
        "(?:" + reOctet255 + ")?"
    ]

    readonly property var inputRegExps: {
        var list = [];
        for (var i = 0; i < inputRegExpPatterns.length; ++i)
            list.push(new RegExp("^(?:" + inputRegExpPatterns[i] + ")$"));
        return list;
    }

    // The anchored expression of number n; numbers outside the table select "everything".
    function inputRegExp(n) {
        return n >= 0 && n < inputRegExps.length ? inputRegExps[n] : inputRegExps[0];
    }
}
