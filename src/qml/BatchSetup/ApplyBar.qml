import QtQuick 2.15
import "../Common"
import "../Export"

// The buttons under the settings: abort, apply all, pick sections, export and, once an export
// has finished, open its folder.
Rectangle {
    id: root

    property bool inputAcceptable: true
    property bool exported: false
    property bool showOpenFolder: false
    readonly property alias exportButton: exportBtn

    signal abortClicked
    signal applyAllClicked
    signal applySectionClicked
    signal exportClicked
    signal openFolderClicked

    objectName: "SettingPageApplyBar"
    color: _GProperty_.dialogTitleColor
    height: 64

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        spacing: 12
        CorvaneButton {
            objectName: "ApplyBarAbortButton"
            width: Math.max(100, implicitWidth)
            height: 36
            btnText: qsTr("Abort")
            onApply: root.abortClicked()
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        spacing: 12
        OpenFolderButton {
            objectName: "ApplyBarOpenFolderButton"
            width: 36
            height: 36
            visible: root.showOpenFolder
            onClicked: root.openFolderClicked()
        }
        ExportButton {
            id: exportBtn
            objectName: "ApplyBarExportButton"
            width: 36
            height: 36
            enabled: root.inputAcceptable
            opacity: enabled ? 1 : _GProperty_.disabledOpacity
            tipText: root.exported ? qsTr("Exported") : qsTr("Export")
            onApply: root.exportClicked()
        }
        CorvaneButton {
            objectName: "ApplyBarApplySection"
            width: Math.max(120, implicitWidth)
            height: 36
            btnText: qsTr("Select template sections")
            enabled: root.inputAcceptable
            onApply: root.applySectionClicked()
        }
        CorvaneButton {
            objectName: "ApplyBarApplyAllButton"
            width: Math.max(120, implicitWidth)
            height: 36
            btnText: qsTr("Apply all")
            actived: true
            enabled: root.inputAcceptable
            onApply: root.applyAllClicked()
        }
    }
}
