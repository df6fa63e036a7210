import QtQuick 2.15
import "../../Common"

// One settings page of the batch-setup form: a questionnaire named by pageName that the settings
// page shows in its switcher. interact(channel) hands a change of a question that shapes other
// options (codec, frame size, orientation...) to the device pack's model script.
Questionnaire {
    id: root

    property string pageName: ""
    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property var devicePackEntry: null
    readonly property int numChannel: pageCtrl && pageCtrl.numChannel !== undefined ? pageCtrl.numChannel : 1

    visible: false

    function interact(channel) {
        if (devicePackEntry)
            devicePackEntry.run(channel);
    }
}
