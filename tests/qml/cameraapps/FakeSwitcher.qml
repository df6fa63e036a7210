import QtQuick 2.15

// Stands in for the page switcher that owns a page: collects the answers of resume().
QtObject {
    property var answers: []
    function resume(accept) {
        var list = answers.slice();
        list.push(accept);
        answers = list;
    }
}
