import QtQuick 2.15
import "../OstraQuick"

// The device table over a device view (model) and its controller (ctrl, a CModelCtrl): column
// titles that sort, rows selected through the controller, keyboard navigation (Up/Down move and
// select, the select-all key, Enter submits the current row). Before rows come or go and before
// the view is re-laid-out, it scrolls back to the top, so the view never lands mid-list on rows
// that moved. Rows are named "row_<index>".
FocusScope {
    id: root

    property var model: null
    property var ctrl: null
    property list<RoleInfo> columns
    property TableStyle tableStyle: TableStyle {}
    property int rowHeight: 40
    property int titleHeight: 32
    property bool sortable: true
    property bool showTitle: true
    property string sortRole: ""
    property int sortOrder: Qt.AscendingOrder
    property int currentRow: -1
    property Component rowDelegate: Component { ListTableRowDelegate {} }
    property Component defaultDlg: Component { TableDlg {} }
    readonly property alias listView: list
    readonly property alias title: titleRow
    readonly property int count: list.count

    signal submit(int row)
    signal rowDoubleClicked(int row)
    signal rowClicked(int row)

    activeFocusOnTab: true

    // Pixel width of column i: shares of the table's width for widths up to 1, pixels above.
    function columnWidth(i) {
        if (i < 0 || i >= columns.length)
            return 0;
        var c = columns[i];
        var w = c.width <= 1 ? c.width * list.width : c.width;
        return Math.max(c.minWidth, Math.floor(w));
    }

    function sortBy(roleName) {
        if (sortRole === roleName) {
            sortOrder = sortOrder === Qt.AscendingOrder ? Qt.DescendingOrder : Qt.AscendingOrder;
        } else {
            sortRole = roleName;
            sortOrder = Qt.AscendingOrder;
        }
        if (ctrl)
            ctrl.sortByRole(roleName, sortOrder);
    }
    function resetSortStatus() {
        sortRole = "";
        sortOrder = Qt.AscendingOrder;
    }

    function select(row) {
        currentRow = row;
        return ctrl ? ctrl.select(row) : false;
    }
    function ctrlSelect(row) {
        currentRow = row;
        return ctrl ? ctrl.ctrlSelect(row) : false;
    }
    function shiftSelect(row) {
        currentRow = row;
        return ctrl ? ctrl.shiftSelect(row) : false;
    }
    function selectAll() {
        return ctrl ? ctrl.selectAll() : false;
    }
    function clickRow(row, modifiers) {
        root.forceActiveFocus();
        if (modifiers & Qt.ControlModifier)
            ctrlSelect(row);
        else if (modifiers & Qt.ShiftModifier)
            shiftSelect(row);
        else
            select(row);
        rowClicked(row);
    }
    function moveTo(row) {
        if (row < 0 || row >= list.count)
            return;
        currentRow = row;
        if (ctrl)
            ctrl.select(row);
        list.positionViewAtIndex(row, ListView.Contain);
    }
    // Called before every insertion and removal: a discovery inserts rows one by one, so this
    // must cost nothing when the view is already at the top (positioning forces a layout).
    function scrollToTop() {
        if (list.contentY !== list.originY)
            list.contentY = list.originY;
    }

    Keys.onUpPressed: moveTo(currentRow < 0 ? 0 : currentRow - 1)
    Keys.onDownPressed: moveTo(currentRow + 1)
    Keys.onReturnPressed: submit(currentRow)
    Keys.onEnterPressed: submit(currentRow)
    Keys.onPressed: {
        if (event.matches(StandardKey.SelectAll)) {
            selectAll();
            event.accepted = true;
        }
    }

    Connections {
        target: root.model
        ignoreUnknownSignals: true
        function onRowsAboutToBeInserted() { root.scrollToTop(); }
        function onRowsAboutToBeRemoved() { root.scrollToTop(); }
        function onLayoutAboutToBeChanged() { root.scrollToTop(); }
        function onRowsAboutToBeMoved() { root.scrollToTop(); }
        function onModelAboutToBeReset() { root.scrollToTop(); }
    }

    Rectangle {
        anchors.fill: parent
        color: root.tableStyle.backgroundColor
    }

    TableTitle {
        id: titleRow
        objectName: "tableTitle"
        visible: root.showTitle
        table: root
        width: parent.width
        height: root.showTitle ? root.titleHeight : 0
        clip: true
    }

    ListView {
        id: list
        objectName: "tableList"
        anchors.top: titleRow.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        model: root.model
        boundsBehavior: Flickable.StopAtBounds
        currentIndex: root.currentRow
        highlightFollowsCurrentItem: false
        reuseItems: true
        delegate: Loader {
            width: list.width
            height: root.rowHeight
            sourceComponent: root.rowDelegate
            readonly property var rowEntry: model
            readonly property int rowIdx: index
            onLoaded: {
                item.table = root;
                item.rowIndex = Qt.binding(function() { return rowIdx; });
                item.rowModel = Qt.binding(function() { return rowEntry; });
                item.width = Qt.binding(function() { return width; });
                item.height = Qt.binding(function() { return height; });
            }
        }
    }

    ZyrScrollBar {
        objectName: "tableScrollBar"
        anchors.right: list.right
        anchors.top: list.top
        anchors.bottom: list.bottom
        width: 8
        visible: list.contentHeight > list.height
        visibleSize: list.height
        totalSize: list.contentHeight
        position: list.contentY - list.originY
        stepSize: root.rowHeight
        onMoveRequested: list.contentY = list.originY + Math.max(0, Math.min(to, list.contentHeight - list.height))
    }
}
