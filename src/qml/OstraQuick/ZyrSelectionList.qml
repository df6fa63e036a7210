import QtQuick 2.15

// A list of texts with single or multiple selection. In single mode a click selects the entry
// (and, with canEmpty, a click on the selected entry clears it); in multiple mode a click
// toggles it, up to maxSelectAmount entries (0: no limit), and the last selected entry cannot be
// cleared unless canEmpty. With `editable` a last row takes a new entry, announced by
// editableInputAccept. selectedIndexes is kept in ascending order.
FocusScope {
    id: root

    property var model: []
    property bool singleSelectMode: true
    property int maxSelectAmount: 0
    property bool canEmpty: false
    property var selectedIndexes: []
    property bool editable: false
    property string editableHint: ""
    property int editableInputStyle: 0
    property int rowHeight: 28
    property color rowColor: "transparent"
    property color hoverColor: "#2f3541"
    property color selectedColor: "#1b8b9d"
    property color textColor: "#ffffff"
    property int fontPixelSize: 14
    readonly property int count: model ? (model.length !== undefined ? model.length : model.count) : 0
    readonly property int currentIndex: selectedIndexes.length > 0 ? selectedIndexes[0] : -1
    readonly property string currentText: currentIndex >= 0 ? textAt(currentIndex) : ""
    readonly property alias listView: list

    signal itemClicked(int index, string text)
    signal editableInputAccept(string text)
    signal selectionChanged

    implicitWidth: 200
    implicitHeight: Math.min(8, count + (editable ? 1 : 0)) * rowHeight

    function textAt(i) {
        if (!model || i < 0 || i >= count)
            return "";
        if (model.length !== undefined)
            return String(model[i]);
        var entry = model.get(i);
        return entry.text !== undefined ? String(entry.text) : String(entry.display);
    }

    function isSelected(i) {
        return selectedIndexes.indexOf(i) >= 0;
    }

    function setSelected(list) {
        var copy = list.slice().sort(function(a, b) { return a - b; });
        if (String(copy) === String(selectedIndexes))
            return;
        selectedIndexes = copy;
        selectionChanged();
    }

    function selectIndex(i) {
        if (i < 0 || i >= count)
            return;
        var list = selectedIndexes.slice();
        var at = list.indexOf(i);
        if (singleSelectMode) {
            if (at >= 0)
                list = canEmpty ? [] : list;
            else
                list = [i];
        } else if (at >= 0) {
            if (list.length > 1 || canEmpty)
                list.splice(at, 1);
        } else if (maxSelectAmount <= 0 || list.length < maxSelectAmount) {
            list.push(i);
        }
        setSelected(list);
    }

    function clearSelection() {
        setSelected([]);
    }

    ListView {
        id: list
        anchors.fill: parent
        clip: true
        model: root.count
        boundsBehavior: Flickable.StopAtBounds
        delegate: Rectangle {
            objectName: "item_" + index
            width: list.width
            height: root.rowHeight
            readonly property bool selected: root.isSelected(index)
            color: selected ? root.selectedColor : (rowMouse.containsMouse ? root.hoverColor : root.rowColor)
            Text {
                anchors.fill: parent
                anchors.leftMargin: 8
                anchors.rightMargin: 8
                verticalAlignment: Text.AlignVCenter
                text: root.textAt(index)
                color: root.textColor
                font.pixelSize: root.fontPixelSize
                elide: Text.ElideRight
            }
            MouseArea {
                id: rowMouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    root.selectIndex(index);
                    root.itemClicked(index, root.textAt(index));
                }
            }
        }
        footer: root.editable ? editRow : null
    }

    Component {
        id: editRow
        ZyrInputBox {
            width: list.width
            height: root.rowHeight
            hintText: root.editableHint
            inputStyle: root.editableInputStyle
            onInputAccept: {
                root.editableInputAccept(text);
                clear();
            }
        }
    }
}
