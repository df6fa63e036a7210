import QtQuick 2.15
import QtQuick.Window 2.15
import "../Common"
import "Languages.js" as Languages

// The information window: version, device pack and the language of the interface.
CorvaneWindow {
    id: info

    objectName: "infoWindow"
    title: qsTr("Information")
    modality: Qt.ApplicationModal
    bodyWidth: 454
    bodyHeight: 351 - titleHeight

    property var mainCtrl: hostWindow && hostWindow.mainCtrl !== undefined ? hostWindow.mainCtrl
                                                                           : typeof mainPageCtrl !== "undefined" ? mainPageCtrl : null
    property string devicePackVersion: typeof strDevicePackVersion !== "undefined" ? strDevicePackVersion : ""
    readonly property string noticeText: devicePackVersion === "" ? qsTr("No device pack installed")
                                                                  : qsTr("Device pack ") + devicePackVersion

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

    Column {
        x: 40
        y: logoBand.height + 22
        width: parent.width - 80
        spacing: 12

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
            topPadding: 8
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
                windowName: "languageBoxList"
                width: 220
                hostWindow: info
                optList: Languages.labels
                currentText: Languages.labels[Languages.indexOfName(info.currentLanguage())]
                onActivated: info.chooseLanguage(index)
            }
        }
    }
}
