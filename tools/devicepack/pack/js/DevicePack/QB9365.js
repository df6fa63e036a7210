// Bullet QB9365: 4K frames at 20 fps at most; polygon motion windows need no rectangle.
//@include common
function checkInteract(ctrl, channel) {
    limitFrameRate(ctrl, channel, 0, {"3840x2160": 20, "2560x1440": 25, "1920x1080": 25,
                                      "1280x720": 25});
    return 0;
}
