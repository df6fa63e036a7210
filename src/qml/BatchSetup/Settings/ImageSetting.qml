import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsImageSetting"
    pageName: "ImageSetting"
    title: qsTr("Image")

    PerChannel {
        objectName: "imageChannels"
        onInstanceLoaded: page.interact(channel)
        listComponent: Component {
            QuestionList {
                id: imageList
                QuestionSubList {
                    title: qsTr("General settings")
                    QuestionCheckBox {
                        objectName: "questionTimestamp"
                        captionText: qsTr("Timestamp")
                        uid: "uid_show_name_time"
                    }
                    QuestionInputBox {
                        objectName: "questionVideoTitle"
                        captionText: qsTr("Video title")
                        uid: "uid_video_name"
                        validator.style: 2
                        inputBox.maximumLength: 64
                    }
                    QuestionDualCheckBox {
                        id: orientation
                        objectName: "questionOrientation"
                        captionText: qsTr("Video orientation")
                        uid: "uid_flip"
                        uid2: "uid_mirror"
                        text: qsTr("Flip")
                        text2: qsTr("Mirror")
                        ScriptHook { uiSet: orientation.devicePackUISet; form: page }
                        ScriptHook { uiSet: orientation.devicePackUISet2; form: page }
                    }
                    QuestionRadio {
                        id: mount
                        objectName: "questionMountType"
                        captionText: qsTr("Mount type")
                        uid: "uid_fisheye_mount_type"
                        optionStringMap: ({ "ceiling": qsTr("Ceiling"), "wall": qsTr("Wall"), "floor": qsTr("Floor") })
                        available: devicePackUISet.opts.length > 0
                        ScriptHook { uiSet: mount.devicePackUISet; form: page }
                    }
                    QuestionRadio {
                        id: colour
                        objectName: "questionColor"
                        captionText: qsTr("Color")
                        uid: "uid_color"
                        optionStringMap: ({ "B/W": qsTr("Black & white"), "Color": qsTr("Color") })
                        ScriptHook { uiSet: colour.devicePackUISet; form: page }
                    }
                    QuestionRadio {
                        id: freq
                        objectName: "questionPowerLineFrequency"
                        captionText: qsTr("Power line frequency")
                        uid: "uid_freq"
                        optionStringMap: ({ "50": "50 " + qsTr("Hz"), "60": "60 " + qsTr("Hz") })
                        available: devicePackUISet.opts.length > 0
                        ScriptHook { uiSet: freq.devicePackUISet; form: page }
                    }
                }
                QuestionSubList {
                    title: qsTr("Day/Night settings")
                    QuestionCheckBox {
                        objectName: "questionSwitchBlackWhite"
                        captionText: qsTr("Switch to B/W in night mode")
                        uid: "uid_switch_blackwhite_mode_enable"
                        available: devicePackUISet.opts.length > 0
                    }
                    QuestionComboBox {
                        id: irFilter
                        objectName: "questionIrCutFilter"
                        captionText: qsTr("IR cut filter")
                        uid: "uid_ir_cut_filter_mode"
                        boxWidth: 280
                        optionStringMap: {
                            var m = { "auto": qsTr("Auto"), "day": qsTr("Day"), "night": qsTr("Night"), "schedule": qsTr("Schedule"),
                                      "di": qsTr("Synchronize with digital input %1").arg(1) };
                            for (var i = 2; i <= 8; ++i)
                                m["di" + i] = qsTr("Synchronize with digital input %1").arg(i);
                            return m;
                        }
                        available: devicePackUISet.opts.length > 0
                    }
                    QuestionTimePicker {
                        objectName: "questionDayBegin"
                        captionText: qsTr("Day mode begin time")
                        uid: "uid_ir_cut_day_mode_begin_time"
                        available: irFilter.currentText === qsTr("Schedule")
                    }
                    QuestionTimePicker {
                        objectName: "questionDayEnd"
                        captionText: qsTr("Day mode end time")
                        uid: "uid_ir_cut_day_mode_end_time"
                        available: irFilter.currentText === qsTr("Schedule")
                    }
                    // Read only: which sensitivity control the model has.
                    DevicePackUISet {
                        id: zoomModule
                        uid: "uid_sony_zoom_module"
                        channel: imageList.channel
                        checkInteraction: false
                    }
                    QuestionSlider {
                        objectName: "questionLightSensitivitySlider"
                        captionText: qsTr("Light sensor sensitivity")
                        uid: "uid_ir_cut_sensitivity"
                        slider.from: 1
                        available: zoomModule.opts.length > 0 && String(zoomModule.opts[0]) === "true"
                                   && irFilter.currentText === qsTr("Auto") && options.length > 0
                    }
                    QuestionTextSlider {
                        objectName: "questionLightSensitivityLevel"
                        captionText: qsTr("Light sensor sensitivity")
                        uid: "uid_ir_cut_sensitivity"
                        optionStringMap: ({ "low": qsTr("Low"), "normal": qsTr("Normal"), "high": qsTr("High") })
                        available: zoomModule.opts.length === 0 && irFilter.currentText === qsTr("Auto")
                    }
                    QuestionCheckBox {
                        objectName: "questionExternalIrLed"
                        captionText: qsTr("External IR illuminator in night mode")
                        uid: "uid_ir_cut_external_led_enable"
                        available: devicePackUISet.opts.length > 0
                    }
                    QuestionCheckBox {
                        objectName: "questionIrLed"
                        captionText: qsTr("IR LED")
                        uid: "uid_ir_cut_disable_ir_led"
                        reverseToDevicePack: true
                        available: devicePackUISet.opts.length > 0
                    }
                }
            }
        }
    }
}
