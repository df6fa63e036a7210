import QtQuick 2.15
import "../../Common"

// The pack stores each contact's normal state; the page shows the active state, hence the
// crossed texts.
SettingsForm {
    id: page

    objectName: "settingsDIDO"
    pageName: "DIDO"
    title: qsTr("DI, DO")

    readonly property int inputCount: pageCtrl && pageCtrl.digitalInputCounts !== undefined ? pageCtrl.digitalInputCounts : 0
    readonly property int outputCount: pageCtrl && pageCtrl.digitalOutputCounts !== undefined ? pageCtrl.digitalOutputCounts : 0

    QuestionWarning {
        objectName: "notSupportedWarning"
        captionText: qsTr("Settings are not supported by this template")
        available: !page.list.anyChildAvailable
    }
    Repeater {
        model: page.inputCount
        QuestionComboBox {
            objectName: "questionDi" + index
            captionText: qsTr("DI-%1 trigger status").arg(index + 1)
            uid: "uid_di" + index + "_normal_state"
            optionStringMap: ({ "low": qsTr("High"), "high": qsTr("Low") })
            available: devicePackUISet.opts.length > 0
        }
    }
    Repeater {
        model: page.outputCount
        QuestionComboBox {
            objectName: "questionDo" + index
            captionText: qsTr("DO-%1 trigger status").arg(index + 1)
            uid: "uid_do" + index + "_normal_state"
            optionStringMap: ({ "open": qsTr("Grounded"), "grounded": qsTr("Open") })
            available: devicePackUISet.opts.length > 0
        }
    }
}
