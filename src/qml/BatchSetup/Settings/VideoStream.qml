import QtQuick 2.15
import "../../Common"

// The video quality questions of one stream. The per-codec UIDs follow the codec chosen in
// "Type"; codec, frame size and the per-codec questions hand their changes to the model script.
QuestionSubList {
    id: root

    property int stream: 0
    property var form: null
    property bool supportSmartStream2: false
    // The codec key of the UIDs; h264 until the "Type" box says otherwise.
    property string codecKey: "h264"
    readonly property string prefix: "uid_s" + stream + "_"
    readonly property string codecPrefix: prefix + codecKey + "_"
    readonly property bool hasCodec: codec.devicePackUISet.opts.length > 0
    readonly property bool smartCodec: codecKey === "h264" || codecKey === "h265"
    readonly property var qualityTexts: ["Medium", "Standard", "Good", "Detailed", "Excellent"]

    objectName: "videoStream" + stream
    title: qsTr("Video quality settings for stream %1").arg(stream + 1)

    function keyOf(text) {
        switch (text) {
        case "MPEG-4": return "mpeg4";
        case "H.264": return "h264";
        case "JPEG": return "mjpeg";
        case "SVC": return "svc";
        case "H.265": return "h265";
        }
        console.debug("Unsupported codec in video settings: " + text
                      + ".\nPlease check the device pack and refine the UI strings.");
        return "";
    }
    function followCodec() {
        if (codec.currentText !== "")
            codecKey = keyOf(codec.currentText);
    }

    function qualityMap(words) {
        var m = {};
        var shown = { "Low": qsTr("Low"), "Medium": qsTr("Medium"), "Standard": qsTr("Standard"), "Good": qsTr("Good"),
                      "Detailed": qsTr("Detailed"), "Excellent": qsTr("Excellent") };
        for (var i = 0; i < words.length; ++i)
            m[words[i]] = shown[words[i]];
        return m;
    }

    QuestionComboBox {
        id: codec
        objectName: "questionVideoCodec"
        captionText: qsTr("Type")
        uid: root.prefix + "video_codec"
        available: devicePackUISet.opts.length > 0
        onCurrentTextChanged: root.followCodec()
        Component.onCompleted: root.followCodec()
        ScriptHook { uiSet: codec.devicePackUISet; form: root.form }
    }
    QuestionComboBox {
        id: frameSize
        objectName: "questionFrameSize"
        captionText: qsTr("Frame size")
        uid: root.prefix + "frame_size"
        available: devicePackUISet.opts.length > 0
        ScriptHook { uiSet: frameSize.devicePackUISet; form: root.form }
    }
    QuestionSubList {
        objectName: "codecSettings"
        title: codec.currentText
        QuestionComboBox {
            id: frameRate
            objectName: "questionMaxFrameRate"
            captionText: qsTr("Maximum frame rate")
            unitText: " fps"
            uid: root.codecPrefix + "max_frame_rate"
            available: devicePackUISet.opts.length > 0
            ScriptHook { uiSet: frameRate.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: intra
            objectName: "questionIntraPeriod"
            captionText: qsTr("Intra frame period")
            uid: root.codecKey === "mjpeg" ? "" : root.codecPrefix + "intra_period"
            available: root.codecKey !== "mjpeg" && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: intra.devicePackUISet; form: root.form }
        }
        QuestionSubList {
            title: qsTr("Smart Stream II")
            QuestionCheckBox {
                id: dintra
                objectName: "questionDynamicIntra"
                captionText: qsTr("Dynamic intra frame period")
                uid: root.codecPrefix + "dintraperiod_enable"
                available: root.supportSmartStream2 && root.smartCodec
                ScriptHook { uiSet: dintra.devicePackUISet; form: root.form }
                Rectangle {
                    objectName: "dynamicIntraTip"
                    x: dintra.checkBox.width + 12
                    anchors.verticalCenter: parent.verticalCenter
                    width: 18
                    height: 18
                    radius: 9
                    color: _GProperty_.lineColor
                    Text { anchors.centerIn: parent; text: "?"; color: "#ffffff"; font.pixelSize: 12; font.bold: true }
                    MouseArea { id: dintraHover; anchors.fill: parent; hoverEnabled: true }
                    CorvaneTip {
                        anchorItem: parent
                        hovered: dintraHover.containsMouse
                        quickEmerge: true
                        tipText: qsTr("Automatically adjust I-frame interval between 1 to 10 seconds")
                    }
                }
            }
            QuestionCheckBox {
                id: smartCodecBox
                objectName: "questionSmartCodec"
                captionText: qsTr("Smart codec")
                uid: root.codecPrefix + "smartstream2_enable"
                available: root.supportSmartStream2 && root.smartCodec
                ScriptHook { uiSet: smartCodecBox.devicePackUISet; form: root.form }
            }
            QuestionComboBox {
                id: ss2Mode
                objectName: "questionSmartStream2Mode"
                captionText: qsTr("Mode")
                uid: root.codecPrefix + "smartstream2_mode"
                optionStringMap: ({ "autotracking": qsTr("Auto tracking") })
                available: devicePackUISet.opts.length > 0 && smartCodecBox.available && smartCodecBox.checked
                ScriptHook { uiSet: ss2Mode.devicePackUISet; form: root.form }
            }
            QuestionTextSlider {
                id: roi
                objectName: "questionRoiPreference"
                captionText: qsTr("ROI preference")
                uid: root.codecPrefix + "smartstream2_qualitypriority"
                available: smartCodecBox.available && smartCodecBox.checked
                ScriptHook { uiSet: roi.devicePackUISet; form: root.form }
                Rectangle {
                    objectName: "roiPreferenceTip"
                    x: roi.sliderWidth + 12
                    anchors.verticalCenter: parent.verticalCenter
                    width: 18
                    height: 18
                    radius: 9
                    color: _GProperty_.lineColor
                    Text { anchors.centerIn: parent; text: "?"; color: "#ffffff"; font.pixelSize: 12; font.bold: true }
                    MouseArea { id: roiHover; anchors.fill: parent; hoverEnabled: true }
                    CorvaneTip {
                        anchorItem: parent
                        hovered: roiHover.containsMouse
                        quickEmerge: true
                        tipText: qsTr("Towards 5 the regions of interest get more of the bit rate and the rest of the picture less; towards -5 the whole picture is kept alike.")
                    }
                }
            }
        }
        QuestionComboBox {
            id: quality
            objectName: "questionVideoQuality"
            captionText: qsTr("Video quality")
            uid: root.codecPrefix + "video_quality"
            optionStringMap: ({ "CBR": qsTr("Constant bit rate"), "VBR": qsTr("Fixed quality"), "Smart": qsTr("Smart stream") })
            available: devicePackUISet.opts.length > 0
            ScriptHook { uiSet: quality.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: cbr
            objectName: "questionTargetBitrate"
            captionText: qsTr("Target bit rate")
            unitText: " bps"
            uid: root.codecPrefix + "constant_bitrate"
            available: quality.available && quality.currentText === qsTr("Constant bit rate") && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: cbr.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: policy
            objectName: "questionBitratePolicy"
            captionText: qsTr("Policy")
            uid: root.codecPrefix + "constant_bitrate_policy"
            optionStringMap: ({ "framerate": qsTr("Frame rate priority"), "imagequality": qsTr("Image quality priority") })
            available: quality.available && quality.currentText === qsTr("Constant bit rate") && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: policy.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: fixedQuality
            objectName: "questionFixedQuality"
            captionText: qsTr("Quality")
            uid: root.codecPrefix + "fixed_quality"
            optionStringMap: root.qualityMap(root.qualityTexts)
            available: quality.available && quality.currentText === qsTr("Fixed quality") && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: fixedQuality.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: vbr
            objectName: "questionMaxVbrBitrate"
            captionText: qsTr("Maximum bit rate")
            unitText: " bps"
            uid: root.codecPrefix + "max_vbr_bitrate"
            available: quality.available && quality.currentText === qsTr("Fixed quality") && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: vbr.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: foreground
            objectName: "questionForegroundQuality"
            captionText: qsTr("Foreground quality")
            uid: root.smartCodec ? root.codecPrefix + "smartstream_foreground_quality" : ""
            optionStringMap: root.qualityMap(["Low"].concat(root.qualityTexts))
            available: root.smartStream && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: foreground.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: background
            objectName: "questionBackgroundQuality"
            captionText: qsTr("Background quality")
            uid: root.smartCodec ? root.codecPrefix + "smartstream_background_quality" : ""
            optionStringMap: root.qualityMap(["Low"].concat(root.qualityTexts))
            available: root.smartStream && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: background.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: smartMax
            objectName: "questionSmartMaxBitrate"
            captionText: qsTr("Maximum bit rate")
            unitText: " bps"
            uid: root.smartCodec ? root.codecPrefix + "smartstream_max_bit_rate" : ""
            available: root.smartStream && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: smartMax.devicePackUISet; form: root.form }
        }
        QuestionComboBox {
            id: smartMode
            objectName: "questionSmartStreamMode"
            captionText: qsTr("Mode")
            uid: root.smartCodec ? root.codecPrefix + "smartstream_mode" : ""
            optionStringMap: ({ "Auto": qsTr("Auto") })
            available: root.smartStream && devicePackUISet.opts.length > 0
            ScriptHook { uiSet: smartMode.devicePackUISet; form: root.form }
        }
    }

    readonly property bool smartStream: quality.available && quality.currentText === qsTr("Smart stream") && smartCodec
}
