// Fisheye QF8360: a wall mount shows no full circle, so the largest square frame is not offered.
//@include common
function checkInteract(ctrl, channel) {
    var mount = ctrl.GetUISet(channel, "uid_fisheye_mount_type");
    var size = ctrl.GetUISet(channel, "uid_s0_frame_size");
    if (mount && size && mount.currentOpt === "wall" && size.currentOpt === "1920x1920")
        size.currentOpt = "1536x1536";
    limitFrameRate(ctrl, channel, 0, {"1920x1920": 15, "1536x1536": 20, "1056x1056": 30});
    return 0;
}
