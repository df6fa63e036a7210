import QtQuick 2.15

// The vertical navigation bar of the main window: one image entry per page. Clicking an enabled
// entry makes it current and emits entryChosen; restore() returns to the entry current before.
// The window decides what choosing an entry does and moves currentName back when a switch is
// refused.
Item {
    id: navi

    property string currentName: "MainPage"
    property string previousName: "MainPage"
    // Entries other than the main page and the information window may be used.
    property bool functionsEnabled: false
    // The recorder variant: only the entries that apply to recorders.
    property bool recorderMode: false
    property int tabWidth: 80
    property int tabHeight: 80
    readonly property alias model: entries

    signal entryChosen(string name)

    width: tabWidth

    function choose(name) {
        if (!isEnabled(name))
            return;
        if (name !== currentName) {
            previousName = currentName;
            currentName = name;
        }
        entryChosen(name);
    }

    function restore() {
        currentName = previousName;
    }

    function indexOf(name) {
        for (var i = 0; i < entries.count; ++i) {
            if (entries.get(i).nameRole === name)
                return i;
        }
        return -1;
    }

    function isEnabled(name) {
        var i = indexOf(name);
        return i >= 0 && entries.get(i).enableRole;
    }

    function alwaysEnabled(name) {
        return name === "MainPage" || name === "Info";
    }

    function icon(name, look) {
        return "qrc:/src/qml/res/images/Navi_" + name + "_" + look + ".png";
    }

    function entryOf(name, tip, iconName) {
        return {
            "nameRole": name,
            "tipRole": tip,
            "enableRole": alwaysEnabled(name) || functionsEnabled,
            "normalImgRole": icon(iconName, "normal"),
            "hoverImgRole": icon(iconName, "hovered"),
            "pressImgRole": icon(iconName, "pressed"),
            "disableImgRole": icon(iconName, "disabled")
        };
    }

    function rebuild() {
        entries.clear();
        if (recorderMode) {
            entries.append(entryOf("MainPage", qsTr("Main"), "MainPage"));
            entries.append(entryOf("Maintenance", qsTr("Maintenance"), "MaintenanceNVR"));
            entries.append(entryOf("Export", qsTr("Export device list and debug report"), "Export"));
            entries.append(entryOf("Info", qsTr("Information"), "Info"));
        } else {
            entries.append(entryOf("MainPage", qsTr("Main"), "MainPage"));
            entries.append(entryOf("BatchSetup", qsTr("Batch camera setup"), "BatchSetup"));
            entries.append(entryOf("AutoAssign", qsTr("Assign IP automatically"), "AutoAssign"));
            entries.append(entryOf("Maintenance", qsTr("Maintenance"), "Maintenance"));
            entries.append(entryOf("ZAPK", qsTr("ZAPK"), "ZAPK"));
            entries.append(entryOf("Export", qsTr("Export device list and debug report"), "Export"));
            entries.append(entryOf("Info", qsTr("Information"), "Info"));
        }
    }

    onRecorderModeChanged: rebuild()
    onFunctionsEnabledChanged: {
        for (var i = 0; i < entries.count; ++i)
            entries.setProperty(i, "enableRole", alwaysEnabled(entries.get(i).nameRole) || functionsEnabled);
    }
    Component.onCompleted: rebuild()

    ListModel {
        id: entries
    }

    Column {
        Repeater {
            model: entries
            delegate: NaviEntry {
                objectName: "navi_" + model.nameRole
                width: navi.tabWidth
                height: navi.tabHeight
                name: model.nameRole
                tipText: model.tipRole
                enabled: model.enableRole
                current: navi.currentName === model.nameRole
                normalSource: model.normalImgRole
                hoveredSource: model.hoverImgRole
                pressedSource: model.pressImgRole
                disabledSource: model.disableImgRole
                onClicked: navi.choose(model.nameRole)
            }
        }
    }
}
