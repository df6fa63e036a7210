import QtQuick 2.15
import "../OstraQuick"

// The program's tool tip: the base tip in the dark dialog look, or amber for warnings.
ZyrTip {
    backgroundColor: warning ? "#3b2f1a" : "#2b303b"
    borderColor: warning ? "#e5a33b" : "#566070"
    textColor: warning ? "#f7c46c" : "#ffffff"
}
