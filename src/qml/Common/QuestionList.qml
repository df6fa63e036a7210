import QtQuick 2.15

// A column of questions and nested lists. acceptableInput holds when every available child is
// acceptable; anyChildAvailable when some available child is a question with content or a list
// with an available child. Both follow the children's acceptableInput and availability.
// output() = { tag: "list", list: [...] }: the outputs of the available children in order,
// "empty" ones left out and nested lists flattened. apply() is raised by Enter in a child.
Column {
    id: root

    property int channel: ownerList ? ownerList.channel : 0
    property var ownerList: null
    property bool available: true
    readonly property bool isQuestionList: true
    property bool acceptableInput: true
    property bool anyChildAvailable: false

    signal apply

    width: parent ? parent.width : 400
    spacing: 12
    visible: available
    height: available ? implicitHeight : 0

    function members() {
        var out = [];
        for (var i = 0; i < children.length; ++i) {
            var c = children[i];
            if (c && (c.isQuestion === true || c.isQuestionList === true))
                out.push(c);
        }
        return out;
    }

    function recompute() {
        var ok = true;
        var any = false;
        var list = members();
        for (var i = 0; i < list.length; ++i) {
            var c = list[i];
            if (!c.available)
                continue;
            if (!c.acceptableInput)
                ok = false;
            if (c.isQuestionList === true ? c.anyChildAvailable : c.outputTag !== "empty")
                any = true;
        }
        if (acceptableInput !== ok)
            acceptableInput = ok;
        if (anyChildAvailable !== any)
            anyChildAvailable = any;
    }

    function output() {
        var out = [];
        var list = members();
        for (var i = 0; i < list.length; ++i) {
            var c = list[i];
            if (!c.available)
                continue;
            var o = c.output();
            if (!o)
                continue;
            if (Array.isArray(o)) {
                for (var k = 0; k < o.length; ++k) {
                    if (o[k] && o[k].tag !== "empty")
                        out.push(o[k]);
                }
            } else if (o.tag === "list") {
                for (var j = 0; j < o.list.length; ++j)
                    out.push(o.list[j]);
            } else if (o.tag !== "empty") {
                out.push(o);
            }
        }
        return { "tag": "list", "list": out };
    }

    property var watched: []
    function attach() {
        var list = members();
        for (var i = 0; i < list.length; ++i) {
            var c = list[i];
            if (watched.indexOf(c) >= 0)
                continue;
            watched.push(c);
            if (c.ownerList === null || c.ownerList === undefined)
                c.ownerList = root;
            c.acceptableInputChanged.connect(root.recompute);
            c.availableChanged.connect(root.recompute);
            if (c.isQuestionList === true)
                c.anyChildAvailableChanged.connect(root.recompute);
            else if (c.outputTagChanged)
                c.outputTagChanged.connect(root.recompute);
        }
        recompute();
    }

    onChildrenChanged: attach()
    Component.onCompleted: attach()
}
