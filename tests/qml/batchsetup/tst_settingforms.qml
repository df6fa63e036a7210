import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"

Item {
    id: top
    width: 1000
    height: 700

    GlobalProperty { id: _GProperty_ }
    FakeBatchSetupCtrl { id: fake }
    // Found by the forms' own lookup of the controller's context name.
    readonly property var batchSetupPageCtrl: fake.api

    property var form: null

    function makeForm(name) {
        var c = Qt.createComponent("qrc:/src/qml/BatchSetup/Settings/" + name + ".qml");
        if (c.status !== Component.Ready)
            console.log(c.errorString());
        var f = c.createObject(top, { "visible": true, "width": 800, "height": 600 });
        return f;
    }
    function find(item, name) {
        if (!item)
            return null;
        if (item.objectName === name)
            return item;
        var kids = item.children;
        for (var i = 0; kids && i < kids.length; ++i) {
            var r = find(kids[i], name);
            if (r)
                return r;
        }
        return null;
    }
    function uids(list) {
        var out = [];
        for (var i = 0; i < list.length; ++i) {
            if (list[i].tag === "tree")
                out.push(list[i].title + "[" + uids(list[i].list).join(",") + "]");
            else
                out.push(list[i].uid);
        }
        return out;
    }

    TestCase {
        name: "SettingForms"
        when: windowShown

        function cleanup() {
            if (top.form)
                top.form.destroy();
            top.form = null;
            fake.clear();
            fake.numChannel = 1;
            fake.isSameModel = true;
            fake.digitalInputCounts = 0;
            fake.digitalOutputCounts = 0;
        }


        function make(name) {
            top.form = makeForm(name);
            verify(top.form !== null);
            waitForRendering(top.form);
            return top.form;
        }
        function q(name) {
            var item = find(top.form, name);
            verify(item !== null, name + " exists");
            return item;
        }

        function test_daylight_saving_follows_the_zone_data() {
            return [
                { tag: "Saskatchewan has none", zone: "-242", shown: false },
                { tag: "Mexico City has it", zone: "-241", shown: true },
                { tag: "Greenwich has it", zone: "0", shown: true },
                { tag: "Beijing has none", zone: "320", shown: false }
            ];
        }
        function test_daylight_saving_follows_the_zone(row) {
            fake.define(0, "uid_system_timezoneindex", ["-242", "-241", "0", "320"], row.zone);
            fake.define(0, "uid_system_daylight_enable", ["1", "0"], "1");
            make("HostNameAndTime");
            compare(q("questionDaylightSaving").available, row.shown);
            var uids = top.uids(top.form.output().list).join(" ");
            compare(uids.indexOf("uid_system_daylight_enable") >= 0, row.shown);
        }

        function test_time_zone_shows_and_writes_the_pack_value() {
            var list = fake.define(0, "uid_system_timezoneindex", ["-242", "40"], "40");
            make("HostNameAndTime");
            var zone = q("questionTimeZone");
            compare(zone.currentText, "GMT+01:00 Amsterdam, Berlin, Rome, Stockholm, Vienna, Madrid, Paris");
            zone.write("GMT-06:00 Saskatchewan");
            compare(list.currentOpt, "-242", "the display text goes back to the pack's index");
        }

        function test_contacts_show_the_active_state_data() {
            return [
                { tag: "DI low is shown high", uid: "uid_di0_normal_state", name: "questionDi0", opts: ["low", "high"], value: "low", shown: "High" },
                { tag: "DI high is shown low", uid: "uid_di0_normal_state", name: "questionDi0", opts: ["low", "high"], value: "high", shown: "Low" },
                { tag: "DO open is shown grounded", uid: "uid_do0_normal_state", name: "questionDo0", opts: ["open", "grounded"], value: "open", shown: "Grounded" }
            ];
        }
        function test_contacts_show_the_active_state(row) {
            fake.digitalInputCounts = 1;
            fake.digitalOutputCounts = 1;
            fake.define(0, row.uid, row.opts, row.value);
            make("DIDO");
            compare(q(row.name).currentText, row.shown);
            verify(!find(top.form, "notSupportedWarning").available);
        }

        function test_contacts_without_options_show_the_warning() {
            fake.digitalInputCounts = 2;
            make("DIDO");
            verify(find(top.form, "notSupportedWarning").available);
            compare(top.form.output().list.length, 0);
        }

        function test_slider_over_five_options_moves_in_quarters_data() {
            return [
                { tag: "start", value: 0, written: "10" },
                { tag: "a quarter", value: 25, written: "20" },
                { tag: "just past the middle rounds to the middle", value: 55, written: "30" },
                { tag: "end", value: 100, written: "50" }
            ];
        }
        function test_slider_over_five_options_moves_in_quarters(row) {
            fake.define(0, "uid_motion_enable", ["1", "0"], "1");
            var list = fake.define(0, "uid_motion0_sensitivity", ["10", "20", "30", "40", "50"], "30");
            fake.define(0, "uid_motion0_name", ["%s"], "win");
            make("MotionDetection");
            var slider = q("questionMotionSensitivity");
            compare(slider.step, 25);
            compare(slider.value, 50, "the current option sets the position");
            slider.write(row.value);
            compare(list.currentOpt, row.written);
        }

        function test_https_only_follows_https() {
            var https = fake.define(0, "uid_https_enable", ["1", "0"], "0");
            fake.define(0, "uid_https_only", ["1", "0"], "1");
            make("HTTPS");
            verify(!q("questionHttpsOnly").available);
            q("questionHttpsEnable").setChecked(true);
            compare(https.currentOpt, "1");
            verify(q("questionHttpsOnly").available);
            compare(top.uids(top.form.output().list).join(","), "uid_https_enable,uid_https_only");
        }

        function test_qos_questions_follow_their_boxes_data() {
            return [
                { tag: "neither offered", cos: null, dscp: null, warning: true, vlan: false },
                { tag: "CoS off", cos: "0", dscp: null, warning: false, vlan: false },
                { tag: "CoS on", cos: "1", dscp: null, warning: false, vlan: true }
            ];
        }
        function test_qos_questions_follow_their_boxes(row) {
            if (row.cos !== null)
                fake.define(0, "uid_qos_cos_enable", ["1", "0"], row.cos);
            fake.define(0, "uid_qos_cos_vlan_id", ["%s"], "12");
            make("QoS");
            compare(find(top.form, "notSupportedWarning").available, row.warning);
            compare(q("questionCosVlan").available, row.vlan);
        }

        function test_ipv6_address_needs_both_boxes_and_a_valid_address_data() {
            return [
                { tag: "IPv6 off", enable: "0", manual: "1", address: "fe80::1", shown: false, ok: true },
                { tag: "automatic", enable: "1", manual: "0", address: "fe80::1", shown: false, ok: true },
                { tag: "manual, valid", enable: "1", manual: "1", address: "fe80::1", shown: true, ok: true },
                { tag: "manual, refused", enable: "1", manual: "1", address: "fe80::zz", shown: true, ok: false }
            ];
        }
        function test_ipv6_address_needs_both_boxes_and_a_valid_address(row) {
            fake.define(0, "uid_ipv6_enable", ["1", "0"], row.enable);
            fake.define(0, "uid_ipv6_allow_optional", ["1", "0"], row.manual);
            fake.define(0, "uid_ipv6_ipaddress", ["%s"], row.address);
            fake.define(0, "uid_network_https_port", ["%s"], "443");
            fake.define(0, "uid_network_ftp_port", ["%s"], "21");
            make("NetworkTypeAndPort");
            compare(q("questionIpv6Address").available, row.shown);
            compare(top.form.acceptableInput, row.ok);
        }

        function test_per_channel_sections_data() {
            return [
                { tag: "one channel, a plain list", channels: 1, same: true,
                  out: "uid_audio_mute,Audio type[uid_audio_codec,uid_audio_aac_bitrate]" },
                { tag: "two channels, a tree each", channels: 2, same: true,
                  out: "Channel 1[uid_audio_mute,Audio type[uid_audio_codec,uid_audio_aac_bitrate]],Channel 2[uid_audio_mute,Audio type[uid_audio_codec,uid_audio_aac_bitrate]]" },
                { tag: "different models, nothing", channels: 2, same: false, out: "" }
            ];
        }
        function test_per_channel_sections(row) {
            fake.numChannel = row.channels;
            fake.isSameModel = row.same;
            for (var c = 0; c < row.channels; ++c) {
                fake.define(c, "uid_audio_mute", ["1", "0"], "0");
                fake.define(c, "uid_audio_codec", ["AAC", "G.711"], "AAC");
                fake.define(c, "uid_audio_aac_bitrate", ["16000", "32000"], "32000");
            }
            make("Audio");
            compare(top.uids(top.form.output().list).join(","), row.out);
            var warning = find(top.form, "sameModelWarning");
            compare(warning.visible, !row.same);
        }

        function test_channel_instances_read_their_own_options() {
            fake.numChannel = 2;
            fake.define(0, "uid_audio_codec", ["AAC", "G.711"], "AAC");
            fake.define(1, "uid_audio_codec", ["AAC", "G.711"], "G.711");
            make("Audio");
            var out = top.form.output().list;
            compare(out[0].list[0].list[0].value, "AAC");
            compare(out[1].list[0].list[0].value, "G.711");
            compare(out[1].list[0].list[0].channel, 1);
        }

        function test_video_codec_picks_the_uids() {
            fake.define(0, "uid_s0_video_codec", ["H.264", "JPEG"], "JPEG");
            fake.define(0, "uid_s0_mjpeg_max_frame_rate", ["15", "30"], "30");
            fake.define(0, "uid_s0_h264_max_frame_rate", ["15", "30"], "15");
            fake.define(0, "uid_s0_h264_intra_period", ["1000", "2000"], "1000");
            make("Video");
            var stream = find(top.form, "videoStream0");
            compare(stream.codecKey, "mjpeg");
            var uids = top.uids(top.form.output().list).join(",");
            verify(uids.indexOf("uid_s0_mjpeg_max_frame_rate") >= 0, uids);
            verify(uids.indexOf("intra_period") < 0, "no intra period for JPEG: " + uids);
            find(stream, "questionVideoCodec").write("H.264");
            compare(stream.codecKey, "h264");
            uids = top.uids(top.form.output().list).join(",");
            verify(uids.indexOf("uid_s0_h264_intra_period") >= 0, uids);
        }

        function test_model_script_runs_on_a_shaping_change() {
            fake.jsFile = Qt.resolvedUrl("fakeModelScript.js");
            fake.define(0, "uid_s0_video_codec", ["H.264"], "H.264");
            var size = fake.define(0, "uid_s0_frame_size", ["1920x1080", "3840x2160"], "1920x1080");
            var rate = fake.define(0, "uid_s0_h264_max_frame_rate", ["15", "20", "25", "30"], "30");
            make("Video");
            var entry = Qt.createQmlObject('import "qrc:/src/qml/BatchSetup"; DevicePackEntry {}', top.form);
            top.form.devicePackEntry = entry;
            fake.scriptChannels = [];
            find(top.form, "questionFrameSize").write("3840x2160");
            compare(size.currentOpt, "3840x2160");
            verify(fake.scriptChannels.length >= 1, "the frame size reaches the script");
            compare(fake.scriptChannels[0], 0);
            compare(JSON.stringify(rate.opts), JSON.stringify(["15", "20"]));
            compare(find(top.form, "questionMaxFrameRate").currentText, "20", "a box whose options the pack changed takes the last");
        }

        function test_model_script_entry_results_data() {
            return [
                { tag: "no script for the model", file: "", result: -1 },
                { tag: "script missing", file: "qrc:/js/DevicePack/NOSUCHMODEL.js", result: 2 },
                { tag: "script runs", file: Qt.resolvedUrl("fakeModelScript.js"), result: 0 }
            ];
        }
        function test_model_script_entry_results(row) {
            fake.jsFile = row.file;
            var entry = Qt.createQmlObject('import "qrc:/src/qml/BatchSetup"; DevicePackEntry {}', top);
            compare(entry.run(3), row.result);
            if (row.result === 0)
                compare(fake.scriptChannels[0], 3);
            entry.destroy();
        }

        function test_every_form_loads_data() {
            return [
                { tag: "HostNameAndTime" }, { tag: "DIDO" }, { tag: "UserAccount" }, { tag: "HTTPS" },
                { tag: "NetworkTypeAndPort" }, { tag: "StreamingProtocols" }, { tag: "QoS" }, { tag: "SNMP" },
                { tag: "ImageSetting" }, { tag: "Video" }, { tag: "Audio" }, { tag: "MotionDetection" },
                { tag: "CustomizedSettings" }
            ];
        }
        function test_every_form_loads(row) {
            top.form = makeForm(row.tag);
            verify(top.form !== null, row.tag + " must load");
            compare(top.form.pageName, row.tag);
            verify(top.form.output().tag === "list");
        }
    }
}
