import QtQuick 2.15
import "../../Common"

// The multicast settings of one RTSP stream; shown while its "Always multicast" box is.
QuestionSubList {
    id: root

    property int stream: 0
    readonly property string prefix: "uid_network_rtsp_s" + stream + "_multicast_"

    objectName: "multicastStream" + stream
    title: qsTr("Multicast settings for stream %1").arg(stream + 1)
    available: always.available

    QuestionCheckBox {
        id: always
        objectName: "questionMulticastAlways"
        captionText: qsTr("Always multicast")
        uid: root.prefix + "always_enable"
        available: devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionMulticastGroup"
        captionText: qsTr("Multicast group address")
        uid: root.prefix + "group_address"
        validator.style: 4
        available: devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionMulticastVideoPort"
        captionText: qsTr("Multicast video port")
        uid: root.prefix + "video_port"
        validator.style: 9
        available: devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionMulticastAudioPort"
        captionText: qsTr("Multicast audio port")
        uid: root.prefix + "audio_port"
        validator.style: 9
        available: devicePackUISet.opts.length > 0
    }
    QuestionInputBox {
        objectName: "questionMulticastTtl"
        captionText: qsTr("Multicast TTL")
        uid: root.prefix + "time_to_live"
        validator.style: 1
        validator.bottomBound: 1
        validator.topBound: 255
        available: devicePackUISet.opts.length > 0
    }
}
