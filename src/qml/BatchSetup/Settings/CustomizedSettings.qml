import QtQuick 2.15
import "../../Common"

// One free-text box per setting the pack's customize table names, captioned with its UID.
SettingsForm {
    id: page

    objectName: "settingsCustomizedSettings"
    pageName: "CustomizedSettings"
    title: qsTr("Customized settings")

    readonly property var uids: pageCtrl && pageCtrl.customizeSettings ? pageCtrl.customizeSettings() : []

    Repeater {
        model: page.uids
        QuestionInputBox {
            objectName: "questionCustomize_" + modelData
            captionText: String(modelData)
            uid: String(modelData)
            validator.style: 2
            inputBox.maximumLength: 40
        }
    }
}
