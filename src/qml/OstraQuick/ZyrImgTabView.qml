import QtQuick 2.15

// A bar of tabs over a list model of entries: roles nameRole, tipRole or displayRole (the tip),
// enableRole, captionRole and the images normalImgRole, hoveredImgRole, pressedImgRole. Choosing
// a tab makes its name currentName (the previous one is kept); restore() goes back to the
// previous entry, e.g. when the page it leads to refused to be left. tabDelegate draws each tab
// (a BaseTabDelegate type; ImgTabDelegate by default).
Item {
    id: root

    property var model: null
    property string currentName: ""
    property string previousName: ""
    property int tabWidth: 80
    property int tabHeight: 80
    property int spacing: 0
    property int orientation: Qt.Vertical
    property Component tabDelegate: Component { ImgTabDelegate {} }
    readonly property alias repeater: tabs
    property bool settingByRestore: false

    signal tabClicked(string name)

    implicitWidth: orientation === Qt.Vertical ? tabWidth : positioner.implicitWidth
    implicitHeight: orientation === Qt.Vertical ? positioner.implicitHeight : tabHeight

    function choose(name) {
        if (name === currentName) {
            tabClicked(name);
            return;
        }
        previousName = currentName;
        currentName = name;
        tabClicked(name);
    }
    function restore() {
        var back = previousName;
        previousName = currentName;
        currentName = back;
    }
    function tabItem(name) {
        for (var i = 0; i < tabs.count; ++i) {
            var loader = tabs.itemAt(i);
            if (loader && loader.item && loader.item.name === name)
                return loader.item;
        }
        return null;
    }

    Grid {
        id: positioner
        columns: root.orientation === Qt.Vertical ? 1 : Math.max(1, tabs.count)
        spacing: root.spacing

        Repeater {
            id: tabs
            model: root.model
            delegate: Loader {
                width: root.tabWidth
                height: root.tabHeight
                sourceComponent: root.tabDelegate
                readonly property var entry: model
                onLoaded: {
                    item.tabView = root;
                    item.tabIndex = Qt.binding(function() { return index; });
                    item.name = Qt.binding(function() { return entry.nameRole !== undefined ? String(entry.nameRole) : ""; });
                    item.tipText = Qt.binding(function() {
                        return entry.tipRole !== undefined ? String(entry.tipRole) : (entry.displayRole !== undefined ? String(entry.displayRole) : "");
                    });
                    item.caption = Qt.binding(function() {
                        return entry.captionRole !== undefined ? String(entry.captionRole) : (entry.displayRole !== undefined ? String(entry.displayRole) : "");
                    });
                    item.enabledTab = Qt.binding(function() { return entry.enableRole !== undefined ? !!entry.enableRole : true; });
                    item.normalSource = Qt.binding(function() { return entry.normalImgRole !== undefined ? String(entry.normalImgRole) : ""; });
                    item.hoveredSource = Qt.binding(function() {
                        return entry.hoveredImgRole !== undefined && entry.hoveredImgRole !== "" ? String(entry.hoveredImgRole) : item.normalSource;
                    });
                    item.pressedSource = Qt.binding(function() {
                        return entry.pressedImgRole !== undefined && entry.pressedImgRole !== "" ? String(entry.pressedImgRole) : item.hoveredSource;
                    });
                    item.width = Qt.binding(function() { return width; });
                    item.height = Qt.binding(function() { return height; });
                }
            }
        }
    }
}
