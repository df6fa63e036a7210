import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import "Languages.js" as Languages

// The information window: version, device pack and the language of the interface. It scales
// with the main window like every pop-up.
Window {
    id: info

    objectName: "infoWindow"
    title: qsTr("Information")
    flags: Qt.Dialog | Qt.FramelessWindowHint
    modality: Qt.ApplicationModal
    color: "#1a1d24"
    transientParent: hostWindow

    property var hostWindow: null
    property var mainCtrl: hostWindow && hostWindow.mainCtrl !== undefined ? hostWindow.mainCtrl
                                                                           : typeof mainPageCtrl !== "undefined" ? mainPageCtrl : null
    property string devicePackVersion: typeof strDevicePackVersion !== "undefined" ? strDevicePackVersion : ""
    readonly property real xScale: hostWindow && hostWindow.xScale ? hostWindow.xScale : 1
    readonly property real yScale: hostWindow && hostWindow.yScale ? hostWindow.yScale : 1
    readonly property string noticeText: devicePackVersion === "" ? qsTr("No device pack installed")
                                                                  : qsTr("Device pack ") + devicePackVersion

    signal closed

    width: Math.round(body.width * xScale)
    height: Math.round(body.height * yScale)
    x: hostWindow ? hostWindow.x + Math.round((hostWindow.width - width) / 2) : 0
    y: hostWindow ? hostWindow.y + Math.round((hostWindow.height - height) / 2) : 0

    onClosing: closed()

    function currentLanguage() {
        if (!mainCtrl)
            return "English";
        var language = mainCtrl.currentLanguage;
        return typeof language === "function" ? mainCtrl.currentLanguage() : language;
    }

    function chooseLanguage(index) {
        var name = Languages.nameAt(index);
        if (mainCtrl && name !== "")
            mainCtrl.setTranslation(name);
    }

    Item {
        id: body
        width: 454
        height: 351
        transform: Scale {
            xScale: info.xScale
            yScale: info.yScale
        }

        Rectangle {
            id: logoBand
            objectName: "infoLogoBand"
            width: parent.width
            height: 135
            color: "#000000"

            Row {
                anchors.centerIn: parent
                spacing: 14
                Image {
                    width: 56
                    height: 56
                    sourceSize: Qt.size(112, 112)
                    source: "qrc:/src/qml/res/images/Frame_Logo.png"
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Ardmere"
                    color: "#ffffff"
                    font.family: _GProperty_.defaultFamily
                    font.pixelSize: 34
                }
            }
        }

        Item {
            id: closeButton
            objectName: "infoCloseButton"
            anchors.right: parent.right
            width: 40
            height: 32
            Rectangle {
                anchors.fill: parent
                color: "#ffffff"
                opacity: closeMouse.pressed ? 0.3 : closeMouse.containsMouse ? 0.15 : 0
            }
            Image {
                anchors.centerIn: parent
                width: 16
                height: 16
                sourceSize: Qt.size(32, 32)
                source: closeMouse.pressed ? "qrc:/src/qml/res/images/Frame_Close_pressed.png"
                                           : closeMouse.containsMouse ? "qrc:/src/qml/res/images/Frame_Close_hovered.png"
                                                                      : "qrc:/src/qml/res/images/Frame_Close_normal.png"
            }
            MouseArea {
                id: closeMouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: info.close()
            }
            ToolTip.visible: closeMouse.containsMouse
            ToolTip.text: qsTr("Close")
            ToolTip.delay: 1500
        }

        Column {
            x: 40
            y: logoBand.height + 28
            width: parent.width - 80
            spacing: 14

            Text {
                objectName: "infoVersion"
                text: _GProperty_.strVersion
                font.family: _GProperty_.fontSet.f001.family
                font.pixelSize: _GProperty_.fontSet.f001.size
                color: _GProperty_.fontSet.f001.color
            }
            Text {
                objectName: "infoNotice"
                width: parent.width
                elide: Text.ElideRight
                text: info.noticeText
                font.family: _GProperty_.fontSet.f013.family
                font.pixelSize: _GProperty_.fontSet.f013.size
                color: _GProperty_.fontSet.f013.color
            }
            Row {
                spacing: 16
                topPadding: 12
                Text {
                    anchors.verticalCenter: languageBox.verticalCenter
                    text: qsTr("Language")
                    font.family: _GProperty_.fontSet.f001.family
                    font.pixelSize: _GProperty_.fontSet.f001.size
                    color: _GProperty_.fontSet.f001.color
                }
                ComboBox {
                    id: languageBox
                    objectName: "languageBox"
                    width: 220
                    model: Languages.labels
                    currentIndex: Languages.indexOfName(info.currentLanguage())
                    readonly property string currentName: Languages.nameAt(currentIndex)
                    onActivated: info.chooseLanguage(index)
                }
            }
        }
    }
}
