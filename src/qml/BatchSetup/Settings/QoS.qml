import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsQoS"
    pageName: "QoS"
    title: qsTr("QoS")

    readonly property bool cosOn: cos.available && cos.checked
    readonly property bool dscpOn: dscp.available && dscp.checked

    QuestionWarning {
        objectName: "notSupportedWarning"
        captionText: qsTr("Settings are not supported by this template")
        available: !cos.available && !dscp.available
    }
    QuestionCheckBox {
        id: cos
        objectName: "questionCos"
        captionText: qsTr("CoS")
        uid: "uid_qos_cos_enable"
        available: devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionCosVlan"
        captionText: qsTr("VLAN ID")
        uid: "uid_qos_cos_vlan_id"
        validator.style: 1
        validator.bottomBound: 1
        validator.topBound: 4095
        allowEmpty: false
        available: page.cosOn
    }
    QuestionComboBox {
        objectName: "questionCosVideo"
        captionText: qsTr("Live video")
        uid: "uid_qos_cos_video_channel"
        available: page.cosOn
    }
    QuestionComboBox {
        objectName: "questionCosAudio"
        captionText: qsTr("Live audio")
        uid: "uid_qos_cos_audio_channel"
        available: page.cosOn && devicePackUISet.opts.length > 0
    }
    QuestionComboBox {
        objectName: "questionCosEvent"
        captionText: qsTr("Event/Alarm")
        uid: "uid_qos_cos_event_alarm_channel"
        available: page.cosOn
    }
    QuestionComboBox {
        objectName: "questionCosManagement"
        captionText: qsTr("Management")
        uid: "uid_qos_cos_management_channel"
        available: page.cosOn
    }
    QuestionCheckBox {
        id: dscp
        objectName: "questionDscp"
        captionText: qsTr("QoS/DSCP")
        uid: "uid_qos_dscp_enable"
        available: devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionDscpVideo"
        captionText: qsTr("Live video")
        uid: "uid_qos_dscp_video_channel"
        validator.style: 1
        validator.topBound: 63
        allowEmpty: false
        available: page.dscpOn
    }
    QuestionInputBox {
        objectName: "questionDscpAudio"
        captionText: qsTr("Live audio")
        uid: "uid_qos_dscp_audio_channel"
        validator.style: 1
        validator.topBound: 63
        allowEmpty: false
        available: page.dscpOn && devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionDscpEvent"
        captionText: qsTr("Event/Alarm")
        uid: "uid_qos_dscp_event_alarm_channel"
        validator.style: 1
        validator.topBound: 63
        available: page.dscpOn
    }
    QuestionInputBox {
        objectName: "questionDscpManagement"
        captionText: qsTr("Management")
        uid: "uid_qos_dscp_management_channel"
        validator.style: 1
        validator.topBound: 63
        available: page.dscpOn
    }
}
