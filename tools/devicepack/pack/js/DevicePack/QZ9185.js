// Speed dome QZ9185: 60 fps only at 1080p and below on the first stream.
//@include common
function checkInteract(ctrl, channel) {
    limitFrameRate(ctrl, channel, 0, {"1920x1080": 60, "1280x720": 60, "640x360": 60});
    return 0;
}
