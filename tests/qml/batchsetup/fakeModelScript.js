// A model script as a device pack ships one: it narrows the frame rates to what the frame size
// allows and records the channels it ran for.
function checkInteract(ctrl, channel) {
    var size = ctrl.GetUISet(channel, "uid_s0_frame_size");
    var rate = ctrl.GetUISet(channel, "uid_s0_h264_max_frame_rate");
    if (size && rate)
        rate.opts = size.currentOpt === "3840x2160" ? ["15", "20"] : ["15", "20", "25", "30"];
    ctrl.scriptRan(channel);
    return 0;
}
