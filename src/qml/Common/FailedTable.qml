import QtQuick 2.15
import "../js/StatusTable.js" as StatusTable

// The failed devices of a page, one line each: the address and the status text of its code
// under statusKey. With more than maxCollapsedLines lines it starts collapsed behind a "more"
// button.
Column {
    id: root

    property var model: null
    property string statusKey: ""
    property int maxCollapsedLines: 5
    property int lineHeight: 24
    readonly property int lineCount: lines.count
    readonly property bool collapsible: lineCount > maxCollapsedLines
    property alias expanded: more.expanded
    readonly property int shownLines: collapsible && !expanded ? maxCollapsedLines : lineCount

    spacing: 4

    onCollapsibleChanged: if (!collapsible) more.expanded = false

    Item {
        width: root.width
        height: root.shownLines * root.lineHeight
        clip: true

        Column {
            Repeater {
                id: lines
                objectName: "failedList"
                model: root.model
                delegate: Row {
                    objectName: "failed_" + index
                    height: root.lineHeight
                    spacing: 16
                    Text {
                        width: 140
                        anchors.verticalCenter: parent.verticalCenter
                        text: ipRole !== undefined ? ipRole : ""
                        color: "#ffffff"
                        font.pixelSize: 13
                        elide: Text.ElideRight
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        width: root.width - 156
                        text: StatusTable.statusText(StatusTable.codeUnderKey(statusRole, root.statusKey))
                        color: "#f7c46c"
                        font.pixelSize: 13
                        elide: Text.ElideRight
                    }
                }
            }
        }
    }
    MoreButton {
        id: more
        visible: root.collapsible
        height: 24
    }
}
