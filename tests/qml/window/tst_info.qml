import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "qrc:/src/qml/Info"

Item {
    id: root

    GlobalProperty {
        id: _GProperty_
    }

    QtObject {
        id: ctrl
        property string currentLanguage: "English"
        property var chosen: []
        function setTranslation(name) {
            var list = chosen.slice();
            list.push(name);
            chosen = list;
        }
    }

    // The window the information window belongs to: its scales and controller.
    QtObject {
        id: host
        property real xScale: 0.5
        property real yScale: 1.5
        property int x: 0
        property int y: 0
        property int width: 556
        property int height: 1152
        property var mainCtrl: ctrl
    }

    Component {
        id: infoComponent
        Info {
            hostWindow: host
        }
    }

    TestCase {
        name: "Info"
        when: windowShown

        function init() {
            ctrl.chosen = [];
        }

        function test_box_starts_at_the_current_language_data() {
            return [
                { tag: "English", language: "English", index: 0, text: "English" },
                { tag: "French", language: "French", index: 1, text: "Français" },
                { tag: "TradChinese", language: "TradChinese", index: 7, text: "繁體中文" },
                { tag: "Arabic", language: "Arabic", index: 12, text: "العربية" },
                { tag: "unknown name shows English", language: "Klingon", index: 0, text: "English" }
            ];
        }

        function test_box_starts_at_the_current_language(data) {
            ctrl.currentLanguage = data.language;
            var info = createTemporaryObject(infoComponent, root);
            var box = findChild(info.contentItem, "languageBox");
            compare(box.optList.length, 13);
            compare(box.currentIndex, data.index);
            compare(box.currentText, data.text);
        }

        function test_choosing_an_entry_asks_for_its_translation_data() {
            return [
                { tag: "Français", index: 1, name: "French" },
                { tag: "日本語", index: 3, name: "Japanese" },
                { tag: "简体中文", index: 6, name: "SimpleChinese" },
                { tag: "Čeština", index: 8, name: "Czech" },
                { tag: "Polski", index: 11, name: "Polish" },
                { tag: "العربية", index: 12, name: "Arabic" }
            ];
        }

        function test_choosing_an_entry_asks_for_its_translation(data) {
            ctrl.currentLanguage = "English";
            var info = createTemporaryObject(infoComponent, root);
            var box = findChild(info.contentItem, "languageBox");
            box.choose(data.index);
            compare(box.currentText, data.tag);
            compare(ctrl.chosen, [data.name]);
        }

        function test_window_scales_with_its_host_and_tells_the_device_pack_data() {
            return [
                { tag: "no pack", pack: "", notice: "No device pack installed" },
                { tag: "a pack", pack: "2.4.1", notice: "Device pack 2.4.1" }
            ];
        }

        function test_window_scales_with_its_host_and_tells_the_device_pack(data) {
            var info = createTemporaryObject(infoComponent, root, { devicePackVersion: data.pack });
            compare(info.objectName, "infoWindow");
            compare(info.modality, Qt.ApplicationModal);
            compare([info.width, info.height], [227, 527]);
            compare(findChild(info.contentItem, "infoNotice").text, data.notice);
            compare(findChild(info.contentItem, "infoLogoBand").height, 135);
        }
    }
}
