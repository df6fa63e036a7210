import QtQuick 2.15
import "../OstraQuick"

// The vertical navigation bar of the main window: one image entry per page. Clicking an enabled
// entry makes it current and emits entryChosen; restore() returns to the entry current before.
// The window decides what choosing an entry does, and moves currentName back when a switch is
// refused.
Item {
    id: navi

    property alias currentName: tabView.currentName
    readonly property alias previousName: tabView.previousName
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
        if (isEnabled(name))
            tabView.choose(name);
    }

    function restore() {
        tabView.restore();
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
            "hoveredImgRole": icon(iconName, "hovered"),
            "pressedImgRole": icon(iconName, "pressed")
        };
    }

    function rebuild() {
        entries.clear();
        entries.append(entryOf("MainPage", qsTr("Main"), "MainPage"));
        if (recorderMode) {
            entries.append(entryOf("Maintenance", qsTr("Maintenance"), "MaintenanceNVR"));
        } else {
            entries.append(entryOf("BatchSetup", qsTr("Batch camera setup"), "BatchSetup"));
            entries.append(entryOf("AutoAssign", qsTr("Assign IP automatically"), "AutoAssign"));
            entries.append(entryOf("Maintenance", qsTr("Maintenance"), "Maintenance"));
            entries.append(entryOf("ZAPK", qsTr("ZAPK"), "ZAPK"));
        }
        entries.append(entryOf("Export", qsTr("Export device list and debug report"), "Export"));
        entries.append(entryOf("Info", qsTr("Information"), "Info"));
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

    ZyrImgTabView {
        id: tabView
        objectName: "naviTabView"
        model: entries
        currentName: "MainPage"
        tabWidth: navi.tabWidth
        tabHeight: navi.tabHeight
        tabDelegate: Component {
            NaviEntry {
            }
        }
        onTabClicked: navi.entryChosen(name)
    }
}
