import QtQuick 2.15

// The CorvaneTable colours for the dark dialogs.
TableStyle {
    backgroundColor: "#1a1d24"
    titleColor: "#242833"
    titleHoverColor: "#2f3541"
    titlePressColor: "#12707f"
    titleTextColor: "#bbd0d6"
    rowColor: "#1a1d24"
    alternateRowColor: "#20242c"
    hoverRowColor: "#2a303b"
    selectedRowColor: "#1b5f6b"
    textColor: "#ffffff"
    selectedTextColor: "#ffffff"
    lineColor: "#2f3541"
    sortUpSource: "qrc:/src/qml/res/images/Common_sort_up_light_Icon.png"
    sortDownSource: "qrc:/src/qml/res/images/Common_sort_down_light_Icon.png"
}
