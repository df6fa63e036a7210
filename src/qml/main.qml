import QtQuick 2.15

RootWindow {
    visible: true
}
