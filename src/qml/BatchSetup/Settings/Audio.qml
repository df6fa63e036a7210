import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsAudio"
    pageName: "Audio"
    title: qsTr("Audio")

    QuestionWarning {
        objectName: "notSupportedWarning"
        captionText: qsTr("Settings are not supported by this template")
        available: !audio.anyChildAvailable
    }
    PerChannel {
        id: audio
        objectName: "audioChannels"
        onInstanceLoaded: page.interact(channel)
        listComponent: Component {
            QuestionList {
                id: audioList
                QuestionCheckBox {
                    objectName: "questionAudioMute"
                    captionText: qsTr("Mute")
                    uid: "uid_audio_mute"
                    text: ""
                    available: devicePackUISet.opts.length > 0
                }
                // Read only: whether the model lets the user pick the microphone.
                DevicePackUISet {
                    id: micChoice
                    uid: "uid_audio_set_mic_source"
                    channel: audioList.channel
                    checkInteraction: false
                }
                QuestionRadio {
                    objectName: "questionAudioMicSource"
                    captionText: qsTr("Microphone source")
                    uid: "uid_audio_mic_source"
                    optionStringMap: ({ "Internal": qsTr("Internal"), "External": qsTr("External") })
                    available: micChoice.opts.length > 0 && String(micChoice.opts[0]) === "true"
                               && devicePackUISet.opts.length > 0
                }
                QuestionSlider {
                    objectName: "questionAudioInternalGain"
                    captionText: qsTr("Internal microphone input gain")
                    uid: "uid_audio_internal_mic_gain"
                }
                QuestionSlider {
                    objectName: "questionAudioExternalGain"
                    captionText: qsTr("External microphone input gain")
                    uid: "uid_audio_external_mic_gain"
                }
                QuestionSubList {
                    title: qsTr("Audio type")
                    QuestionComboBox {
                        id: codec
                        objectName: "questionAudioCodec"
                        captionText: qsTr("Type")
                        uid: "uid_audio_codec"
                        optionStringMap: ({ "AAC": "AAC", "GAMR": "GSM-AMR", "G.711": "G.711", "G.726": "G.726" })
                        available: devicePackUISet.opts.length > 0
                    }
                    QuestionComboBox {
                        objectName: "questionAudioAacBitrate"
                        captionText: qsTr("AAC bit rate")
                        unitText: " bps"
                        uid: "uid_audio_aac_bitrate"
                        available: codec.available && codec.currentText === "AAC"
                    }
                    QuestionComboBox {
                        objectName: "questionAudioGamrBitrate"
                        captionText: qsTr("GSM-AMR bit rate")
                        unitText: " bps"
                        uid: "uid_audio_gamr_bitrate"
                        available: codec.available && codec.currentText === "GSM-AMR"
                    }
                    QuestionRadio {
                        objectName: "questionAudioG711Mode"
                        captionText: qsTr("G.711 mode")
                        uid: "uid_audio_g711_mode"
                        optionStringMap: ({ "pcmu": "pcmu", "pcma": "pcma" })
                        available: codec.available && codec.currentText === "G.711"
                    }
                    QuestionComboBox {
                        objectName: "questionAudioG726Bitrate"
                        captionText: qsTr("G.726 bit rate")
                        unitText: " bps"
                        uid: "uid_audio_g726_bitrate"
                        available: codec.available && codec.currentText === "G.726"
                    }
                }
            }
        }
    }
}
