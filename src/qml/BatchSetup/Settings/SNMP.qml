import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsSNMP"
    pageName: "SNMP"
    title: qsTr("SNMP")

    QuestionCheckBox {
        id: v2
        objectName: "questionSnmpV2"
        captionText: qsTr("SNMPv1, SNMPv2c")
        uid: "uid_snmp_v2_enable"
    }
    QuestionInputBox {
        objectName: "questionSnmpV2ReadWrite"
        captionText: qsTr("Read/Write community")
        uid: "uid_snmp_v2_readwrite_community_name"
        validator.style: 2
        inputBox.maximumLength: 31
        allowEmpty: false
        available: v2.checked
    }
    QuestionInputBox {
        objectName: "questionSnmpV2ReadOnly"
        captionText: qsTr("Read only community")
        uid: "uid_snmp_v2_readonly_community_name"
        validator.style: 2
        inputBox.maximumLength: 31
        allowEmpty: false
        available: v2.checked
    }
    QuestionCheckBox {
        id: v3
        objectName: "questionSnmpV3"
        captionText: qsTr("SNMPv3")
        uid: "uid_snmp_v3_enable"
    }
    SnmpAccount {
        account: "readonly"
        nameCaption: qsTr("Read only security name")
        available: v3.checked
    }
    SnmpAccount {
        account: "readwrite"
        nameCaption: qsTr("Read/Write security name")
        available: v3.checked
    }
}
