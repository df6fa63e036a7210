import QtQuick 2.15
import "../OstraQuick"

// A node of an expandable tree (the template sections): an open/close arrow when it has
// children, a check box for its selection and its text, indented by level. It only asks:
// requireOpenClose and requireSelection go to the owner of the tree, which sets opened and
// selected; selectionChanged follows a change of selected.
Item {
    id: root

    property int level: 0
    property int indent: 20
    property string text: ""
    property bool hasChildren: false
    property bool opened: false
    property bool selected: false
    property bool partiallySelected: false
    property bool selectable: true

    signal requireOpenClose(bool open)
    signal requireSelection(bool select)
    signal selectionChanged(bool selected)

    implicitWidth: 300
    implicitHeight: 28
    onSelectedChanged: selectionChanged(selected)

    Row {
        x: root.level * root.indent
        height: parent.height
        spacing: 6

        Item {
            width: 16
            height: parent.height
            Canvas {
                id: arrow
                objectName: "treeArrow"
                visible: root.hasChildren
                anchors.centerIn: parent
                width: 10
                height: 10
                rotation: root.opened ? 90 : 0
                onPaint: {
                    var ctx = getContext("2d");
                    ctx.reset();
                    ctx.fillStyle = "#bbd0d6";
                    ctx.beginPath();
                    ctx.moveTo(2, 0);
                    ctx.lineTo(9, 5);
                    ctx.lineTo(2, 10);
                    ctx.closePath();
                    ctx.fill();
                }
            }
            MouseArea {
                anchors.fill: parent
                enabled: root.hasChildren
                onClicked: root.requireOpenClose(!root.opened)
            }
        }
        ZyrCheckBox {
            objectName: "treeCheckBox"
            anchors.verticalCenter: parent.verticalCenter
            visible: root.selectable
            checked: root.selected
            checkedColor: root.partiallySelected ? "#566070" : "#1b8b9d"
            txtCheckInfo.text: root.text
            onClicked: {
                // The owner decides; the box shows what it decided.
                checked = Qt.binding(function() { return root.selected; });
                root.requireSelection(!root.selected);
            }
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            visible: !root.selectable
            text: root.text
            color: "#ffffff"
            font.pixelSize: 14
        }
    }
}
