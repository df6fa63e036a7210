import QtQuick 2.15

// Colours and sizes of a CorvaneTable on a light page.
QtObject {
    property color backgroundColor: "#ffffff"
    property color titleColor: "#e4e8ec"
    property color titleHoverColor: "#d6dce2"
    property color titlePressColor: "#c8d0d8"
    property color titleTextColor: "#333333"
    property color rowColor: "#ffffff"
    property color alternateRowColor: "#f7f9fb"
    property color hoverRowColor: "#eaf4f6"
    property color selectedRowColor: "#cfe9ee"
    property color textColor: "#333333"
    property color selectedTextColor: "#1d2329"
    property color lineColor: "#dde1e6"
    property int fontPixelSize: 13
    property int titleFontPixelSize: 13
    property string sortUpSource: "qrc:/src/qml/res/images/Common_sort_up_Icon.png"
    property string sortDownSource: "qrc:/src/qml/res/images/Common_sort_down_Icon.png"
}
