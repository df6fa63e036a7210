import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsMotionDetection"
    pageName: "MotionDetection"
    title: qsTr("Motion detection")

    PerChannel {
        objectName: "motionChannels"
        onInstanceLoaded: page.interact(channel)
        listComponent: Component {
            QuestionList {
                QuestionCheckBox {
                    id: motion
                    objectName: "questionMotionEnable"
                    captionText: qsTr("Motion detection")
                    uid: "uid_motion_enable"
                    Connections {
                        target: motion.devicePackUISet
                        function onInteractionRequested(channel) { page.interact(channel); }
                    }
                }
                QuestionInputBox {
                    objectName: "questionMotionWindowName"
                    captionText: qsTr("Window name")
                    uid: "uid_motion0_name"
                    validator.style: 2
                    inputBox.maximumLength: 14
                    allowEmpty: false
                    available: motion.checked
                }
                QuestionSlider {
                    objectName: "questionMotionSensitivity"
                    captionText: qsTr("Sensitivity")
                    uid: "uid_motion0_sensitivity"
                    available: motion.checked && options.length > 0
                }
                QuestionSlider {
                    objectName: "questionMotionPercentage"
                    captionText: qsTr("Pixel image(percentage)")
                    uid: "uid_motion0_percentage"
                    available: motion.checked && options.length > 0
                }
            }
        }
    }
}
