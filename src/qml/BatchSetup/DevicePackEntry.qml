import QtQuick 2.15
import "DevicePackEntry.js" as Entry

// The entry point of the template model's script in the device pack: run(channel) includes
// the model's script once and calls its checkInteract(ctrl, channel).
QtObject {
    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property int lastResult: -1

    function run(channel) {
        lastResult = Entry.run(pageCtrl, channel);
        return lastResult;
    }
}
