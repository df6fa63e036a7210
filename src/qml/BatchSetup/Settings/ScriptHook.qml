import QtQuick 2.15

// Hands the changes of one option binding to the form's model script (form.interact).
Connections {
    property var uiSet: null
    property var form: null

    target: uiSet
    ignoreUnknownSignals: true
    function onInteractionRequested(channel) {
        if (form)
            form.interact(channel);
    }
}
