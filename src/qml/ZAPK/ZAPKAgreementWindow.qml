import QtQuick 2.15
import "../Common"
import "../OstraQuick"

// The Trend Micro IoT Security end-user licence agreement. Opened by the switch it asks for
// acceptance ("Accept" or "No"); opened from the link it is only read.
CorvaneWindow {
    id: root

    property bool readOnly: false

    signal accepted
    signal refused

    objectName: "agreementWindow"
    title: qsTr("Trend Micro End User License Agreement")
    bodyWidth: 640
    bodyHeight: 460

    Item {
        anchors.fill: parent

        Flickable {
            id: flick
            x: 24
            y: 16
            width: parent.width - 48
            height: parent.height - y - (root.readOnly ? 24 : 76)
            clip: true
            contentHeight: agreementText.height
            boundsBehavior: Flickable.StopAtBounds

            Text {
                id: agreementText
                objectName: "agreementText"
                width: flick.width - 12
                wrapMode: Text.Wrap
                textFormat: Text.RichText
                color: "#d8dde3"
                font.pixelSize: 13
                text: "<h3>" + qsTr("Trend Micro IoT Security: End User License Agreement") + "</h3>"
                      + "<p>" + qsTr("Please read this agreement carefully before switching the software on. By choosing \"Accept\" you agree, on behalf of yourself and of the organisation that operates the cameras, to the terms below. If you do not agree, choose \"No\" and the software stays switched off.") + "</p>"
                      + "<p><b>" + qsTr("1. Licence") + "</b><br>" + qsTr("You may run the software on the cameras it was installed on, for the protection of those cameras only. You may not copy, modify, reverse engineer or redistribute it, except as the law expressly allows.") + "</p>"
                      + "<p><b>" + qsTr("2. Security data") + "</b><br>" + qsTr("To detect threats the software may send information about suspicious network traffic and files seen by the camera, such as addresses, file fingerprints and event times, to the security service. It does not send video or audio. The information is used to provide and improve the protection.") + "</p>"
                      + "<p><b>" + qsTr("3. Signature updates") + "</b><br>" + qsTr("The software relies on signature files. Automatic updates need access to the update service; with manual updates you are responsible for installing current signature files in time.") + "</p>"
                      + "<p><b>" + qsTr("4. No warranty") + "</b><br>" + qsTr("No security software detects every threat. The software is provided as it is, without any warranty that it is free of errors or that it will stop every attack, to the extent the law allows.") + "</p>"
                      + "<p><b>" + qsTr("5. Limitation of liability") + "</b><br>" + qsTr("To the extent the law allows, no party is liable for indirect or consequential damages, loss of data or loss of profit arising from the use of the software.") + "</p>"
                      + "<p><b>" + qsTr("6. Ending") + "</b><br>" + qsTr("This agreement ends when you switch the software off and uninstall it from the cameras. Sections 2, 4 and 5 remain in force after it ends.") + "</p>"
            }
        }

        Row {
            visible: !root.readOnly
            anchors.right: parent.right
            anchors.rightMargin: 24
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 20
            spacing: 12
            CorvaneButton {
                objectName: "btnNotAcceptLicense"
                width: 120
                height: 36
                btnText: qsTr("No")
                onApply: {
                    root.close();
                    root.refused();
                }
            }
            CorvaneButton {
                objectName: "btnAcceptLicense"
                width: 120
                height: 36
                btnText: qsTr("Accept")
                actived: true
                onApply: {
                    root.close();
                    root.accepted();
                }
            }
        }
    }
}
