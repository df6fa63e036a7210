.pragma library

// The template sections: a tree built from the settings list and the settings pages' outputs,
// whose selected leaves become the list of (uid, channel) items a batch run applies.

// Leaves with these captions carry no setting when left empty (an empty password or port would
// only be refused by the camera).
var emptyMeansUnset = ["Password", "HTTPS port", "FTP port", "HTTP port 1", "HTTP port 2",
                       "Stream 1", "Stream 2", "Stream 3", "Stream 4"];

function folder(name) {
    return { "name": name, "folder": true, "selected": false, "invalid": false, "childrenVisible": false,
             "children": [], "invalidChild": false };
}

function leaf(item) {
    return { "name": item.caption, "folder": false, "selected": false, "invalid": item.warning === true,
             "childrenVisible": false, "children": [], "invalidChild": false, "value": item.value,
             "uid": item.uid, "channel": item.channel };
}

// Fills node from an output list; returns whether an invalid leaf lies below.
function fill(node, list) {
    var invalid = false;
    for (var i = 0; list && i < list.length; ++i) {
        var item = list[i];
        if (item.enable === false)
            continue;
        var child;
        if (item.tag === "tree") {
            child = folder(item.title);
            fill(child, item.list);
        } else {
            child = leaf(item);
        }
        if (child.invalid || child.invalidChild)
            invalid = true;
        node.children.push(child);
    }
    node.invalidChild = invalid;
    return invalid;
}

// entries: [{ text, cls }] in list order; pages: objects with a title and output().
function build(entries, pages) {
    var roots = [];
    var seen = [];
    for (var i = 0; i < entries.length; ++i) {
        var cls = entries[i].cls;
        if (seen.indexOf(cls) >= 0)
            continue;
        seen.push(cls);
        var clsNode = folder(cls);
        for (var j = 0; j < entries.length; ++j) {
            if (entries[j].cls !== cls)
                continue;
            for (var k = 0; k < pages.length; ++k) {
                if (!pages[k] || pages[k].title !== entries[j].text)
                    continue;
                var pageNode = folder(pages[k].title);
                fill(pageNode, pages[k].output().list);
                if (pageNode.invalidChild)
                    clsNode.invalidChild = true;
                clsNode.children.push(pageNode);
            }
        }
        roots.push(clsNode);
    }
    return roots;
}

// Selects or deselects node and every selectable node below it; a leaf with unacceptable input
// is never selected. Selecting a folder opens every folder on the way to such a leaf, so that
// the user sees what was left out. Returns whether node ends up selected.
function setSelected(node, select) {
    if (!node.folder) {
        node.selected = select && !node.invalid;
        return node.selected;
    }
    var any = false;
    for (var i = 0; i < node.children.length; ++i) {
        if (setSelected(node.children[i], select))
            any = true;
    }
    if (select && node.invalidChild)
        node.childrenVisible = true;
    node.selected = select && (any || node.children.length === 0);
    return node.selected;
}

function selectAll(roots, select) {
    for (var i = 0; i < roots.length; ++i)
        setSelected(roots[i], select);
}

function leafOutputs(node) {
    if (!node.selected || node.uid === undefined || node.uid === "")
        return false;
    if (emptyMeansUnset.indexOf(node.name) >= 0 && (node.value === "" || node.value === undefined))
        return false;
    return true;
}

// Depth first, in order: the (uid, channel) pair of every selected leaf that carries a setting.
function output(roots) {
    var out = [];
    function walk(nodes) {
        for (var i = 0; i < nodes.length; ++i) {
            var n = nodes[i];
            if (n.folder)
                walk(n.children);
            else if (leafOutputs(n))
                out.push({ "uid": n.uid, "channel": n.channel });
        }
    }
    walk(roots);
    return out;
}

// The rows the section window shows: every node whose folders above are all open.
function visibleRows(roots) {
    var rows = [];
    function walk(nodes, level) {
        for (var i = 0; i < nodes.length; ++i) {
            rows.push({ "node": nodes[i], "level": level });
            if (nodes[i].folder && nodes[i].childrenVisible)
                walk(nodes[i].children, level + 1);
        }
    }
    walk(roots, 0);
    return rows;
}

// A folder is partly selected while some of its selectable leaves are and some are not.
function partlySelected(node) {
    var on = 0;
    var off = 0;
    function walk(n) {
        if (!n.folder) {
            if (n.invalid)
                return;
            if (n.selected)
                ++on;
            else
                ++off;
            return;
        }
        for (var i = 0; i < n.children.length; ++i)
            walk(n.children[i]);
    }
    walk(node);
    return on > 0 && off > 0;
}

// After a leaf changed, a folder is selected while any leaf below it is.
function refreshFolders(nodes) {
    var any = false;
    for (var i = 0; i < nodes.length; ++i) {
        var n = nodes[i];
        if (n.folder)
            n.selected = refreshFolders(n.children);
        if (n.selected)
            any = true;
    }
    return any;
}
