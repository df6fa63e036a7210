import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/BatchSetup/SectionTree.js" as Tree

Item {
    // Stands in for settings pages: a title and the output of their questions.
    function page(title, list) {
        return { "title": title, "output": function() { return { "tag": "list", "list": list }; } };
    }
    function item(uid, caption, value, warning) {
        return { "tag": "", "uid": uid, "channel": 0, "caption": caption, "value": value, "warning": !!warning };
    }
    readonly property var entries: [
        { "text": "Host name and time", "cls": "System" },
        { "text": "User account", "cls": "Security" },
        { "text": "HTTPS", "cls": "Security" },
        { "text": "Network type & port", "cls": "Network" }
    ]
    function pages(passwordWarning) {
        return [
            page("Host name and time", [item("uid_system_hostname", "Host name", "cam")]),
            page("User account", [{ "tag": "tree", "title": "Change device password", "enable": true,
                                    "list": [item("uid_root_password", "Password", "", false)] },
                                  { "tag": "tree", "title": "Privilege management", "enable": false,
                                    "list": [item("uid_security_do_permission", "Digital output", "Admin")] }]),
            page("HTTPS", [item("uid_https_enable", "HTTPS secure connection", "Checked")]),
            page("Network type & port", [{ "tag": "tree", "title": "Port", "enable": true,
                                           "list": [item("uid_network_https_port", "HTTPS port", "443"),
                                                    item("uid_network_ftp_port", "FTP port", "99", passwordWarning)] }])
        ];
    }
    function uids(out) { return out.map(function(o) { return o.uid; }).join(","); }

    TestCase {
        name: "SectionTree"

        function test_classes_in_list_order_once() {
            var tree = Tree.build(entries, pages(false));
            compare(tree.map(function(n) { return n.name; }).join(","), "System,Security,Network");
            compare(tree[1].children.map(function(n) { return n.name; }).join(","), "User account,HTTPS");
            compare(tree[1].children[0].children.length, 1, "a sub-list that is not shown is left out");
        }

        function test_apply_all_output_data() {
            return [
                { tag: "everything acceptable", warning: false,
                  out: "uid_system_hostname,uid_https_enable,uid_network_https_port,uid_network_ftp_port" },
                { tag: "an unacceptable leaf is never selected", warning: true,
                  out: "uid_system_hostname,uid_https_enable,uid_network_https_port" }
            ];
        }
        function test_apply_all_output(row) {
            var tree = Tree.build(entries, pages(row.warning));
            Tree.selectAll(tree, true);
            compare(uids(Tree.output(tree)), row.out, "an empty password stays out");
            compare(tree[2].invalidChild, row.warning);
        }

        function test_selecting_a_folder_opens_the_way_to_a_refused_leaf() {
            var tree = Tree.build(entries, pages(true));
            var network = tree[2];
            Tree.setSelected(network, true);
            verify(network.childrenVisible);
            verify(network.children[0].childrenVisible, "the Port folder holds the refused leaf");
            verify(!tree[0].childrenVisible, "other folders stay closed");
            compare(uids(Tree.output(tree)), "uid_network_https_port");
        }

        function test_deselecting_a_leaf_keeps_its_folder_while_others_are_chosen() {
            var tree = Tree.build(entries, pages(false));
            Tree.setSelected(tree[2], true);
            var port = tree[2].children[0].children[0];
            verify(port.selected);
            Tree.setSelected(port.children[1], false);
            Tree.refreshFolders(tree);
            verify(port.selected);
            verify(Tree.partlySelected(port));
            Tree.setSelected(port.children[0], false);
            Tree.refreshFolders(tree);
            verify(!port.selected);
            verify(!tree[2].selected);
            compare(Tree.output(tree).length, 0);
        }

        function test_empty_values_of_some_captions_carry_nothing_data() {
            return [
                { tag: "empty HTTP port", caption: "HTTP port 1", value: "", out: 0 },
                { tag: "empty stream name", caption: "Stream 2", value: "", out: 0 },
                { tag: "empty host name is applied", caption: "Host name", value: "", out: 1 },
                { tag: "a password", caption: "Password", value: "x", out: 1 }
            ];
        }
        function test_empty_values_of_some_captions_carry_nothing(row) {
            var tree = Tree.build([{ "text": "P", "cls": "C" }], [page("P", [item("uid_x", row.caption, row.value)])]);
            Tree.selectAll(tree, true);
            compare(Tree.output(tree).length, row.out);
        }
    }
}
