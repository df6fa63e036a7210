// Fixed dome QD8182: the 4-megapixel first stream runs at 25 fps at most.
//@include common
function checkInteract(ctrl, channel) {
    limitFrameRate(ctrl, channel, 0, {"2560x1440": 25, "1920x1080": 30, "1280x720": 30,
                                      "640x360": 30});
    return 0;
}
