import QtQuick 2.15
import "../../Common"
import "TimeZones.js" as TimeZones

SettingsForm {
    id: page

    objectName: "settingsHostNameAndTime"
    pageName: "HostNameAndTime"
    title: qsTr("Host name and time")

    QuestionInputBox {
        objectName: "questionHostName"
        captionText: qsTr("Host name")
        uid: "uid_system_hostname"
        validator.style: 2
        inputBox.maximumLength: 40
    }
    QuestionCheckBox {
        id: led
        objectName: "questionLedIndicator"
        captionText: qsTr("LED indicator")
        uid: "uid_system_ledoff"
        reverseToDevicePack: true
        available: devicePackUISet.opts.length > 0
    }
    QuestionSubList {
        title: qsTr("System time")
        QuestionComboBox {
            id: timeZone
            objectName: "questionTimeZone"
            captionText: qsTr("Time zone")
            uid: "uid_system_timezoneindex"
            boxWidth: 300
            optionStringMap: TimeZones.texts
        }
        QuestionCheckBox {
            objectName: "questionDaylightSaving"
            uid: "uid_system_daylight_enable"
            text: qsTr("Enable Daylight Saving Time")
            outputCaption: text
            available: TimeZones.hasDaylight(TimeZones.valueOf(timeZone.currentText))
        }
        QuestionInputBox {
            objectName: "questionNtpServer"
            captionText: qsTr("NTP server")
            uid: "uid_ntp_server"
            validator.style: 8
        }
        QuestionComboBox {
            objectName: "questionNtpInterval"
            captionText: qsTr("Updating interval (automatic)")
            uid: "uid_ntp_server_update_interval"
            optionStringMap: ({ "disable": qsTr("Disable"), "hourly": qsTr("Hourly"), "daily": qsTr("Daily"),
                                "weekly": qsTr("Weekly"), "monthly": qsTr("Monthly") })
        }
    }
}
