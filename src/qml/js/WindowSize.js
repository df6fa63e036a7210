.pragma library

// Sizes of the main window. Everything inside it is laid out at the design size and scaled to
// the window, so these rules only ever pick the outer size.

var designWidth = 1112;
var designHeight = 768;

var smallWidth = 800;
var smallHeight = 600;

var bigWidth = 2227;
var bigHeight = 1533;

// A desktop this large gets the big window by default.
var bigDesktopWidth = 3840;
var bigDesktopHeight = 2000;

// One step of Ctrl++ / Ctrl+-, and the smallest size Ctrl+- goes down to.
var stepWidth = 223;
var stepHeight = 153;
var minimumWidth = 666;
var minimumHeight = 462;

function isBigDesktop(desktopWidth, desktopHeight) {
    return desktopWidth >= bigDesktopWidth && desktopHeight >= bigDesktopHeight;
}

// The size the window takes at start (and after the splash screen) on a desktop whose available
// area is desktopWidth x desktopHeight.
function defaultSize(desktopWidth, desktopHeight) {
    if (desktopWidth < designWidth || desktopHeight < designHeight)
        return { width: smallWidth, height: smallHeight };
    if (isBigDesktop(desktopWidth, desktopHeight))
        return { width: bigWidth, height: bigHeight };
    return { width: designWidth, height: designHeight };
}

function grown(width, height) {
    return { width: width + stepWidth, height: height + stepHeight };
}

function shrunk(width, height) {
    return { width: Math.max(width - stepWidth, minimumWidth),
             height: Math.max(height - stepHeight, minimumHeight) };
}

// F11 flips between the design size and the big size.
function toggled(bigScreen) {
    return bigScreen ? { width: designWidth, height: designHeight }
                     : { width: bigWidth, height: bigHeight };
}

function isBigScreen(width) {
    return width > designWidth;
}
