import QtQuick 2.15

// Binds one question to its option list (pageCtrl.GetUISet(channel, uid)). opts are the list's
// options in display form (through optionStringMap when one is given: unmapped options are
// dropped); currentOpt is the list's current option in display form. Setting currentOpt maps it
// back and writes it to the list when it differs; then, unless checkInteraction is off,
// interactionRequested asks the page to run the device-pack script for the channel.
QtObject {
    id: root

    property string uid: ""
    property int channel: 0
    // Pairs of device-pack option and display text: { "option": "text", ... }.
    property var optionStringMap: null
    property bool checkInteraction: true
    property var pageCtrl: typeof batchSetupPageCtrl !== "undefined" ? batchSetupPageCtrl : null
    property var optionList: null
    property string currentOpt: ""
    readonly property var opts: mapOpts(optionList ? optionList.opts : [], optionStringMap)

    signal optsToBeChangedByDevicePack
    signal optsChangedByDevicePack
    signal languageChanged
    signal dataReset
    signal interactionRequested(int channel)

    property bool loading: false

    function hasMap() {
        return optionStringMap !== null && optionStringMap !== undefined && Object.keys(optionStringMap).length > 0;
    }

    function mapOpts(list, map) {
        var out = [];
        if (!list)
            return out;
        for (var i = 0; i < list.length; ++i) {
            var o = String(list[i]);
            if (hasMap()) {
                if (map.hasOwnProperty(o))
                    out.push(String(map[o]));
            } else {
                out.push(o);
            }
        }
        return out;
    }

    function toDisplay(option) {
        option = option === undefined || option === null ? "" : String(option);
        if (hasMap())
            return optionStringMap.hasOwnProperty(option) ? String(optionStringMap[option]) : option;
        return option === "%s" ? "" : option;
    }

    function toOption(text) {
        if (!hasMap())
            return text;
        for (var k in optionStringMap) {
            if (String(optionStringMap[k]) === text)
                return k;
        }
        console.debug("DevicePackUISet: cannot match string " + text + " in " + uid);
        return text;
    }

    function reload() {
        loading = true;
        currentOpt = optionList ? toDisplay(optionList.currentOpt) : "";
        loading = false;
    }

    function fetch() {
        if (!pageCtrl || uid === "" || !pageCtrl.GetUISet) {
            optionList = null;
        } else {
            optionList = pageCtrl.GetUISet(channel, uid);
        }
        reload();
        dataReset();
    }

    onUidChanged: fetch()
    onChannelChanged: fetch()
    onPageCtrlChanged: fetch()
    onOptionStringMapChanged: {
        reload();
        languageChanged();
    }
    onCurrentOptChanged: {
        if (loading || !optionList)
            return;
        var option = toOption(currentOpt);
        if (String(optionList.currentOpt) !== option)
            optionList.currentOpt = option;
        if (checkInteraction)
            interactionRequested(channel);
    }

    property Connections listConnections: Connections {
        target: root.optionList
        ignoreUnknownSignals: true
        function onOptsChanged() {
            root.optsToBeChangedByDevicePack();
            root.optsChangedByDevicePack();
        }
        function onCurrentOptChanged() { root.reload(); }
        function onDataReset() {
            root.reload();
            root.dataReset();
        }
    }
}
