import QtQuick 2.15

// One page of a PageSwitcher. A page may refuse to be left: while isBlocking() answers true the
// switcher keeps it and calls resolveBlocking(), which usually asks the user; the answer comes
// back through resume(accept). A page that holds a switcher of its own names it in pageSwitcher,
// so that the pages inside are asked first. A page starts hidden: its switcher shows it.
FocusScope {
    id: page

    property string pageName: ""
    property bool blocking: false
    // A switcher inside this page; its current page is asked before this one.
    property var pageSwitcher: null
    // The switcher that holds this page; it sets this itself.
    property var ownerSwitcher: null
    // The main window, for the pop-ups of the page.
    property var hostWindow: null

    visible: false

    function enterPage() {
    }

    function leavePage() {
    }

    function isBlocking(close) {
        return blocking;
    }

    function resolveBlocking() {
    }

    // True when the page (or the current page of its own switcher) may not be left now. A page
    // that refuses has already started resolving it and will call resume() with the answer.
    function checkBlocking(close) {
        if (pageSwitcher && pageSwitcher.checkBlocking(close)) {
            // The answer arrives at the inner switcher but belongs to the one that asked us.
            pageSwitcher.resumeTarget = page;
            return true;
        }
        if (isBlocking(close)) {
            resolveBlocking();
            return true;
        }
        return false;
    }

    function resume(accept) {
        if (ownerSwitcher)
            ownerSwitcher.resume(accept);
    }
}
