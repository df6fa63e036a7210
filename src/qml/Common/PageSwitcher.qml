import QtQuick 2.15

// Shows one page at a time. Pages are its Page children (by pageName) and the pages its PageInfo
// objects name; a PageInfo with a source makes its page from that file the first time it is
// needed.
//
// Setting currentPage asks the page being left whether it may be left (checkBlocking). If it
// refuses, currentPage goes back to the page still shown, requireRewind is emitted, and the
// requested page waits until the page's dialog answers with resume(): true goes on to it, false
// forgets it. The same answer to a refusal on closing the window arrives as pagesResolved.
FocusScope {
    id: switcher

    property string currentPage: ""
    // The page now shown and its name; currentPage differs from shownPage only while a switch
    // is in progress.
    property var currentItem: null
    property string shownPage: ""
    // The page asked for while the shown one refused to be left.
    property string pendingPage: ""
    // The refusal came from closing the window.
    property bool closing: false
    // The page holding this switcher when the refusal was asked on its behalf (see Page).
    property var resumeTarget: null
    property var hostWindow: null

    property bool rewinding: false
    // The first page is shown once every page is there.
    property bool completed: false

    signal requireRewind
    signal pagesResolved(bool accept)
    signal pageShown(string name)

    function pageInfos() {
        var list = [];
        for (var i = 0; i < resources.length; ++i) {
            var r = resources[i];
            if (r && r.isPageInfo === true)
                list.push(r);
        }
        return list;
    }

    function findInfo(name) {
        var infos = pageInfos();
        for (var i = 0; i < infos.length; ++i) {
            if (infos[i].name === name)
                return infos[i];
        }
        return null;
    }

    function findChildPage(name) {
        for (var i = 0; i < children.length; ++i) {
            var c = children[i];
            if (c && c.pageName !== undefined && c.pageName === name)
                return c;
        }
        return null;
    }

    // The page called name if it exists now, without making it.
    function page(name) {
        var info = findInfo(name);
        if (info)
            return info.page;
        return findChildPage(name);
    }

    function adopt(item) {
        if (item.ownerSwitcher !== undefined)
            item.ownerSwitcher = switcher;
        if (item.hostWindow !== undefined && item.hostWindow === null)
            item.hostWindow = switcher.hostWindow;
    }

    function createFromInfo(info) {
        var file = info.source.toString();
        var component = Qt.createComponent(info.source);
        if (component.status !== Component.Ready) {
            console.log("Qt.createComponent Error: " + component.errorString());
            return null;
        }
        var item = component.createObject(switcher, { "visible": false });
        if (item === null) {
            console.log("Cannot create " + file);
            return null;
        }
        item.anchors.fill = switcher;
        info.page = item;
        return item;
    }

    // The page called name, made now if it is made from a file and does not exist yet.
    function pageOrCreate(name) {
        var info = findInfo(name);
        if (info) {
            if (info.page)
                return info.page;
            if (info.source.toString() === "")
                return null;
            return createFromInfo(info);
        }
        return findChildPage(name);
    }

    function call(item, method) {
        if (item && typeof item[method] === "function")
            item[method]();
    }

    function setCurrentPageQuietly(name) {
        rewinding = true;
        currentPage = name;
        rewinding = false;
    }

    function show(name) {
        var next = pageOrCreate(name);
        if (!next) {
            setCurrentPageQuietly(shownPage);
            return false;
        }
        adopt(next);
        var previous = currentItem;
        if (previous && previous !== next) {
            previous.focus = false;
            call(previous, "leavePage");
            previous.visible = false;
            var previousInfo = findInfo(shownPage);
            if (previousInfo && !previousInfo.keep && previousInfo.source.toString() !== "") {
                previousInfo.page = null;
                previous.destroy();
            }
        }
        currentItem = next;
        shownPage = name;
        setCurrentPageQuietly(name);
        next.focus = true;
        call(next, "enterPage");
        next.visible = true;
        if (switcher.visible)
            next.forceActiveFocus();
        pageShown(name);
        return true;
    }

    // True when the shown page may not be left now (it then resolves that itself).
    function checkBlocking(close) {
        if (currentItem && typeof currentItem.checkBlocking === "function"
                && currentItem.checkBlocking(close)) {
            closing = close;
            return true;
        }
        return false;
    }

    function resume(accept) {
        if (resumeTarget) {
            var target = resumeTarget;
            resumeTarget = null;
            closing = false;
            target.resume(accept);
            return;
        }
        if (closing) {
            closing = false;
            pagesResolved(accept);
            return;
        }
        var wanted = pendingPage;
        pendingPage = "";
        if (accept && wanted !== "" && wanted !== shownPage)
            show(wanted);
    }

    // Pages made from files that are not shown now are destroyed; they are made again when next
    // needed.
    function destroyHiddenPages() {
        var infos = pageInfos();
        for (var i = 0; i < infos.length; ++i) {
            var info = infos[i];
            if (info.page && info.source.toString() !== "" && info.page !== currentItem) {
                var item = info.page;
                info.page = null;
                item.destroy();
            }
        }
    }

    onCurrentPageChanged: {
        if (rewinding || !completed)
            return;
        var wanted = currentPage;
        if (wanted === shownPage) {
            pendingPage = "";
            return;
        }
        if (checkBlocking(false)) {
            pendingPage = wanted;
            setCurrentPageQuietly(shownPage);
            requireRewind();
            return;
        }
        show(wanted);
    }

    Component.onCompleted: {
        // Every page starts hidden; show() reveals the current one.
        for (var i = 0; i < children.length; ++i) {
            var c = children[i];
            if (c && c.pageName !== undefined) {
                adopt(c);
                c.visible = false;
            }
        }
        var infos = pageInfos();
        for (var j = 0; j < infos.length; ++j) {
            if (infos[j].page) {
                adopt(infos[j].page);
                infos[j].page.visible = false;
            }
        }
        completed = true;
        if (currentPage !== "")
            show(currentPage);
    }
}
