import QtQuick 2.15
import "../../Common"
import "../../OstraQuick"

// Per channel, one tab per stream whose codec list has options; the chosen stream's questions
// show, every available stream is output. The page scrolls itself: the tabs must stay put.
SettingsForm {
    id: page

    objectName: "settingsVideo"
    pageName: "Video"
    title: qsTr("Video")
    autoScroll: false

    readonly property bool supportSmartStream2: pageCtrl && pageCtrl.supportSmartStream2 !== undefined ? pageCtrl.supportSmartStream2 : false

    PerChannel {
        objectName: "videoChannels"
        onInstanceLoaded: page.interact(channel)
        listComponent: Component {
            QuestionList {
                id: channelList
                property int currentStream: 0
                Row {
                    spacing: 4
                    Repeater {
                        model: 4
                        TxtTabDelegate {
                            objectName: "streamTab_" + index
                            readonly property var streamItem: channelList.children.length > 0 ? streams.itemAt(index) : null
                            visible: streamItem !== null && streamItem.hasCodec
                            width: 96
                            height: 32
                            name: String(index)
                            caption: qsTr("Stream %1").arg(index + 1)
                            readonly property bool chosen: channelList.currentStream === index
                            label.color: chosen ? "#ffffff" : "#7f8c8d"
                            Rectangle { anchors.fill: parent; z: -1; color: parent.chosen ? _GProperty_.accentColor : _GProperty_.inputColor; radius: 2 }
                            onClicked: channelList.currentStream = index
                        }
                    }
                }
                Repeater {
                    id: streams
                    model: 4
                    VideoStream {
                        stream: index
                        form: page
                        supportSmartStream2: page.supportSmartStream2
                        visible: available && channelList.currentStream === index
                        height: visible ? implicitHeight : 0
                    }
                }
            }
        }
    }
}
