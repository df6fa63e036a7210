import QtQuick 2.15
import "../../Common"

// The SNMPv3 questions of one account ("readonly" or "readwrite").
QuestionList {
    id: root

    property string account: "readonly"
    property string nameCaption: ""
    readonly property string prefix: "uid_snmp_v3_" + account + "_"

    // Enter in a box reaches the page through the enclosing list.
    onApply: if (ownerList && ownerList.apply) ownerList.apply()

    QuestionInputBox {
        objectName: "questionSnmpV3SecurityName_" + root.account
        captionText: root.nameCaption
        uid: root.prefix + "security_name"
        validator.style: 2
        inputBox.maximumLength: 31
    }
    QuestionRadio {
        objectName: "questionSnmpV3AuthType_" + root.account
        captionText: qsTr("Authentication type")
        uid: root.prefix + "auth_type"
        optionStringMap: ({ "MD5": "MD5", "SHA": "SHA" })
    }
    QuestionInputBox {
        objectName: "questionSnmpV3Password_" + root.account
        captionText: qsTr("Authentication password")
        uid: root.prefix + "password"
        validator.style: 2
        validator.minimumLength: 8
        inputBox.maximumLength: 128
        inputBox.passwordMask: true
        allowEmpty: false
    }
    QuestionInputBox {
        objectName: "questionSnmpV3EncryptPassword_" + root.account
        captionText: qsTr("Encryption password")
        uid: root.prefix + "encrypt_password"
        validator.style: 2
        validator.minimumLength: 8
        inputBox.maximumLength: 128
        inputBox.passwordMask: true
        allowEmpty: false
    }
}
