// Not a library: each DevicePackEntry keeps the model script it included in its own context.

var includedFile = "";

// Runs the template model's script for channel. -1: the model has no script; 0: checkInteract
// ran; otherwise the include status of a script that could not be loaded.
function run(ctrl, channel) {
    if (!ctrl || typeof ctrl.getDevicePackDynamicJSFilename !== "function")
        return -1;
    var file = String(ctrl.getDevicePackDynamicJSFilename());
    if (file === "")
        return -1;
    if (file !== includedFile) {
        var result = Qt.include(file);
        if (result.status !== result.OK) {
            console.log("Failed to load camera js file " + result.status);
            return result.status;
        }
        includedFile = file;
    }
    if (typeof checkInteract !== "function") {
        console.log("Failed to load camera js file " + file);
        return -2;
    }
    checkInteract(ctrl, channel);
    return 0;
}
