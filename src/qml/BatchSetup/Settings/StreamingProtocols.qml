import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsStreamingProtocols"
    pageName: "StreamingProtocols"
    title: qsTr("Streaming protocols")

    QuestionSubList {
        title: qsTr("HTTP streaming")
        QuestionRadio {
            objectName: "questionHttpAuth"
            captionText: qsTr("Authentication")
            uid: "uid_network_http_authmode"
            optionStringMap: ({ "basic": qsTr("Basic"), "digest": qsTr("Digest") })
        }
        QuestionInputBox {
            objectName: "questionHttpPort"
            captionText: qsTr("HTTP port 1")
            uid: "uid_network_http_port"
            validator.style: 6
            validator.exception: [80]
            allowEmpty: false
        }
        QuestionInputBox {
            objectName: "questionHttpAlternatePort"
            captionText: qsTr("HTTP port 2")
            uid: "uid_network_http_alternate_port"
            validator.style: 6
            allowEmpty: false
        }
        PerChannel {
            objectName: "httpAccessNames"
            onInstanceLoaded: page.interact(channel)
            listComponent: Component {
                QuestionList {
                    QuestionSubList {
                        title: qsTr("Access name")
                        Repeater {
                            model: 4
                            QuestionInputBox {
                                objectName: "questionHttpAccessName" + index
                                captionText: qsTr("Stream %1").arg(index + 1)
                                uid: "uid_network_http_s" + index + "_access_name"
                                validator.style: 2
                                inputBox.maximumLength: 32
                                allowEmpty: false
                                available: devicePackUISet.opts.length > 0
                            }
                        }
                    }
                }
            }
        }
    }
    QuestionSubList {
        title: qsTr("RTSP streaming")
        QuestionRadio {
            objectName: "questionRtspAuth"
            captionText: qsTr("Authentication")
            uid: "uid_network_rtsp_authmode"
            optionStringMap: ({ "disable": qsTr("Disable"), "basic": qsTr("Basic"), "digest": qsTr("Digest") })
        }
        QuestionInputBox {
            objectName: "questionRtspPort"
            captionText: qsTr("RTSP port")
            uid: "uid_network_rtsp_port"
            validator.style: 6
            validator.exception: [554]
        }
        QuestionInputBox {
            objectName: "questionVideoRtpPort"
            captionText: qsTr("RTP port for video")
            uid: "uid_network_video_rtp_port"
            validator.style: 9
        }
        QuestionInputBox {
            objectName: "questionAudioRtpPort"
            captionText: qsTr("RTP port for audio")
            uid: "uid_network_audio_rtp_port"
            validator.style: 9
            available: devicePackUISet.opts.length > 0
        }
        PerChannel {
            objectName: "rtspStreams"
            onInstanceLoaded: page.interact(channel)
            listComponent: Component {
                QuestionList {
                    QuestionSubList {
                        title: qsTr("Access name")
                        Repeater {
                            model: 4
                            QuestionInputBox {
                                objectName: "questionRtspAccessName" + index
                                captionText: qsTr("Stream %1").arg(index + 1)
                                uid: "uid_network_rtsp_s" + index + "_accessname"
                                validator.style: 2
                                inputBox.maximumLength: 32
                                allowEmpty: false
                                available: devicePackUISet.opts.length > 0
                            }
                        }
                    }
                    Repeater {
                        model: 4
                        MulticastStream { stream: index }
                    }
                }
            }
        }
    }
}
