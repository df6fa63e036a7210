import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsHTTPS"
    pageName: "HTTPS"
    title: qsTr("HTTPS")

    QuestionCheckBox {
        id: httpsEnable
        objectName: "questionHttpsEnable"
        captionText: qsTr("HTTPS secure connection")
        uid: "uid_https_enable"
    }
    QuestionCheckBox {
        objectName: "questionHttpsOnly"
        captionText: qsTr("HTTPS Only")
        uid: "uid_https_only"
        available: httpsEnable.checked
    }
}
