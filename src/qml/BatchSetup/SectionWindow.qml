import QtQuick 2.15
import "../Common"
import "../OstraQuick"
import "SectionTree.js" as Tree

// Lets the user pick the template sections to apply: a tree of the settings, all unselected and
// closed at first. A leaf whose input is not acceptable carries a warning icon and cannot be
// selected. "Apply" hands the chosen (uid, channel) items on.
CorvaneWindow {
    id: root

    property var roots: []
    // Bumped after every change of the tree, so that the rows are drawn again.
    property int revision: 0
    readonly property var rows: { revision; return Tree.visibleRows(roots); }
    readonly property var chosen: { revision; return Tree.output(roots); }

    signal applyRequested(var items)

    objectName: "SettingPageApplySectionWindow"
    title: qsTr("Select template sections to be applied")
    bodyWidth: 520
    bodyHeight: 480

    function openTree(tree) {
        roots = tree;
        revision++;
        open();
    }
    function toggle(node, select) {
        Tree.setSelected(node, select);
        Tree.refreshFolders(roots);
        revision++;
    }
    function openClose(node, open) {
        node.childrenVisible = open;
        revision++;
    }

    ZyrScrollArea {
        id: area
        x: 16
        y: 12
        width: root.bodyWidth - 32
        height: root.bodyHeight - 80
        contentHeight: column.height

        Column {
            id: column
            width: area.width - 12
            Repeater {
                model: root.rows
                Item {
                    width: column.width
                    height: 30
                    TreeNode {
                        id: node
                        objectName: "sectionNode_" + modelData.node.name
                        width: parent.width - 28
                        height: parent.height
                        level: modelData.level
                        text: modelData.node.folder ? modelData.node.name
                              : modelData.node.name + (modelData.node.value !== "" && modelData.node.value !== undefined
                                                       ? ": " + modelData.node.value : "")
                        hasChildren: modelData.node.folder && modelData.node.children.length > 0
                        opened: modelData.node.childrenVisible
                        selected: modelData.node.selected
                        partiallySelected: modelData.node.folder && Tree.partlySelected(modelData.node)
                        selectable: !modelData.node.invalid
                        onRequireOpenClose: root.openClose(modelData.node, open)
                        onRequireSelection: root.toggle(modelData.node, select)
                    }
                    Image {
                        objectName: "sectionNodeWarning"
                        visible: modelData.node.invalid || modelData.node.invalidChild
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        width: 18
                        height: 18
                        sourceSize: Qt.size(36, 36)
                        source: "qrc:/src/qml/res/images/Common_warning_Icon.png"
                    }
                }
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 16
        y: root.bodyHeight - 52
        spacing: 12
        CorvaneButton {
            objectName: "btnApplySection"
            width: Math.max(100, implicitWidth)
            btnText: qsTr("Apply")
            actived: true
            enabled: root.chosen.length > 0
            onApply: {
                var items = root.chosen;
                root.close();
                root.applyRequested(items);
            }
        }
        CorvaneButton {
            objectName: "btnCancelSection"
            width: Math.max(100, implicitWidth)
            btnText: qsTr("Cancel")
            onApply: root.close()
        }
    }
}
