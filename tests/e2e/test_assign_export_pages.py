"""The IP assignment page and the export area of the real program against a simulated fleet,
driven as a user drives them: a range of new addresses typed in and applied, the devices moving
to them in the simulator and the main list following them, devices that refuse or cannot be
reached keeping their old addresses and a second run reaching only those, and the device list
(with a retry of a device that refused) and the debug reports exported to a file and a folder
chosen in their dialogs.

Every test starts the program afresh beside one simulator for the class. Re-addressed devices
really move in the simulator, so setUp first sends every device home to the address it started
on. Runs under Xvfb.
"""

import csv
import os
import re
import tempfile
import unittest
import urllib.parse

from fleet import address
from fleet_case import FleetProgramCase
from main_window import wait_for

FIRST_IP = "127.0.190.10"
COUNT = 4
# Page statuses of the page controllers.
FINISHED = 4
# A run re-addresses, restarts every device and then looks for it again by discovery, a pass
# every ten seconds or so.
ASSIGN_TIMEOUT = 60.0
BOXES = ("ipSrcInputBox", "ipDstInputBox", "submaskInputBox", "gatewayInputBox")


def file_url(path):
    return "file://" + urllib.parse.quote(path)


def dashed_mac(mac):
    """A MAC in the form the program writes it: upper-case pairs joined by "-"."""
    digits = re.sub(r"[^0-9A-Fa-f]", "", mac).upper()
    return "-".join(digits[i:i + 2] for i in range(0, len(digits), 2))


class AssignExportPagesTest(FleetProgramCase):
    FIRST_IP = FIRST_IP
    COUNT = COUNT

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # The MAC stays with a device wherever it moves: it finds each device's home.
        cls.home = {d["mac"]: d["ip"] for d in cls.sim.request("GET", "/devices")["devices"]}

    def setUp(self):
        self.send_fleet_home()
        self.reset_fleet()
        self.start_program({"searchTimeMs": "1500", "authorizeTimeoutMs": "5000",
                            "assignDeviceIPTimeoutMS": "3000", "restartTimeoutMs": "3000"})
        self.authorize_all()
        self.select_all_listed()

    # --- the fleet ---

    def devices(self):
        return self.sim.request("GET", "/devices")["devices"]

    def send_fleet_home(self):
        """Every device back at its first address, without fault (the previous test may have
        moved it or taken it off the network)."""
        for device in self.devices():
            ip = device["ip"]
            self.assertTrue(wait_for(lambda: self.sim.device(ip)["state"] != "restarting"), ip)
            self.sim.request("POST", "/devices/" + ip,
                             {"ip": self.home[device["mac"]], "fault": {"kind": "none"}})
        self.assertEqual(sorted(d["ip"] for d in self.devices()), sorted(self.sim.addresses))

    def addresses_by_mac(self):
        return {d["mac"]: d["ip"] for d in self.devices()}

    # --- the main list ---

    def listed(self, words):
        """The rows the main table shows for the filter words, typed into its filter box."""
        self.ui.type_into("filterBox", words)
        count = self.ui.row_count()
        self.ui.type_into("filterBox", "")
        return count

    def assert_listed_once(self, ip, mac):
        # Words must all match one row; the address and the MAC together name that row alone.
        # The filter ignores case, and only lower case can be typed.
        self.assertTrue(wait_for(lambda: self.listed("%s %s" % (ip, mac.lower())) == 1, 5.0),
                        "%s %s is not a row of the main list" % (ip, mac))

    def setparam_bodies(self, ip):
        return [r.get("body", "") for r in self.sim.request("GET", "/devices/%s/received" % ip)
                if r.get("path") == "/cgi-bin/admin/setparam.cgi"
                and "network_" in r.get("body", "")]

    # --- the IP assignment page ---

    def type_address(self, box, text):
        # A click that comes while the inputs that just appeared are still being laid out can
        # miss the field: the keys then go nowhere, and the user types again.
        for _ in range(3):
            self.ui.type_into(box, text)
            if wait_for(lambda: self.ui.get(box, "text") == text, 1.0):
                return
        self.fail("%s does not take %s" % (box, text))

    def assign_range(self, first, last):
        self.ui.navigate("AutoAssign")
        self.wait_page("AutoAssign")
        self.assertTrue(wait_for(lambda: self.ui.get("autoAssignPage", "numDevices") == COUNT),
                        self.note())
        self.ui.click("assignTypeRange")
        self.assertTrue(self.ui.wait_visible("ipSrcInputBox"), self.note())
        for box, text in zip(BOXES, (first, last, "255.255.0.0", "127.0.0.1")):
            self.type_address(box, text)
        typed = [(box, self.ui.get(box, "text")) for box in BOXES]
        self.assertTrue(wait_for(lambda: self.ui.get("autoAssignPage", "applyEnabled"), 5.0),
                        "%r\n%s" % (typed, self.note()))
        self.ui.click("autoAssignPage.applyButton")
        # The run is over once the page is no longer working and nothing waits to be confirmed.
        self.assertTrue(wait_for(lambda: self.ui.get("autoAssignPage", "working") is True, 5.0),
                        self.note())
        self.assertTrue(wait_for(lambda: self.ui.get("autoAssignPage", "working") is False,
                                 ASSIGN_TIMEOUT), self.note())

    def test_range_moves_the_devices_and_the_main_list_follows(self):
        before = self.addresses_by_mac()
        self.assign_range("127.0.191.1", "127.0.191.50")
        self.assertEqual(self.ui.get("autoAssignPage", "numFailed"), 0, self.note())

        after = self.addresses_by_mac()
        self.assertEqual(sorted(after.values()),
                         ["127.0.191.%d" % i for i in range(1, COUNT + 1)])
        for mac, ip in after.items():
            self.assertTrue(wait_for(lambda: self.sim.device(ip)["state"] == "online"), ip)
            self.assertNotEqual(ip, before[mac])
            # The address went with the typed mask and gateway; the empty DNS servers not at all.
            body = self.setparam_bodies(ip)[0]
            for pair in ("network_ipaddress=" + ip, "network_subnet=255.255.0.0",
                         "network_router=127.0.0.1", "network_resetip=0"):
                self.assertIn(pair, body.split("&"), ip)
            self.assertNotIn("network_dns1", body, ip)

        # Leaving the page hands the confirmed addresses to the main list, each to its device.
        # The devices drop off the network first, so that only the page can have told the main
        # list where they went.
        for ip in after.values():
            self.sim.change(ip, fault={"kind": "offline"})
        self.ui.navigate("MainPage")
        self.wait_page("MainPage")
        self.assertEqual(self.listed("127.0.191."), COUNT)
        self.assertEqual(self.listed("127.0.190."), 0)
        for mac, ip in after.items():
            self.assert_listed_once(ip, dashed_mac(mac))

    def test_refused_and_unreachable_devices_fail_and_keep_their_addresses(self):
        refused, unreachable = address(FIRST_IP, 1), address(FIRST_IP, 2)
        self.sim.change(refused, fault={"kind": "status", "status": 500,
                                        "path": "/cgi-bin/admin/setparam.cgi"})
        self.sim.change(unreachable, fault={"kind": "offline"})
        before = self.addresses_by_mac()
        # Typed the wrong way round: the page puts the range in order before it applies.
        self.assign_range("127.0.192.50", "127.0.192.1")
        self.assertEqual(self.ui.get("ipSrcInputBox", "text"), "127.0.192.1")
        self.assertEqual(self.ui.get("ipDstInputBox", "text"), "127.0.192.50")
        self.assertEqual(self.ui.get("autoAssignPage", "numFailed"), 2, self.note())
        self.assertTrue(self.ui.visible("onlyFailedCheckBox"), self.note())

        after = self.addresses_by_mac()
        moved = {mac for mac in after if after[mac] != before[mac]}
        kept = {mac for mac, ip in before.items() if ip in (refused, unreachable)}
        self.assertEqual(moved, set(before) - kept)
        for mac in moved:
            self.assertTrue(after[mac].startswith("127.0.192."), after[mac])

        self.ui.navigate("MainPage")
        self.wait_page("MainPage")
        self.assertEqual(self.listed("127.0.192."), COUNT - 2)
        for mac in kept:
            self.assert_listed_once(before[mac], dashed_mac(mac))
        for mac in moved:
            self.assert_listed_once(after[mac], dashed_mac(mac))

    def test_only_the_failed_devices_are_sent_again(self):
        refused = address(FIRST_IP, 3)
        self.sim.change(refused, fault={"kind": "status", "status": 500,
                                        "path": "/cgi-bin/admin/setparam.cgi"})
        self.assign_range("127.0.193.1", "127.0.193.9")
        self.assertEqual(self.ui.get("autoAssignPage", "numFailed"), 1, self.note())
        first = self.addresses_by_mac()
        taken = {ip for ip in first.values() if ip.startswith("127.0.193.")}
        self.assertEqual(len(taken), COUNT - 1)

        # The box shows checked; Apply again reaches the device that refused, and only it, with
        # an address none of the others holds.
        self.sim.change(refused, fault={"kind": "none"})
        for ip in first.values():
            self.sim.clear_received(ip)
        self.assertTrue(self.ui.get("onlyFailedCheckBox", "checked"), self.note())
        self.ui.click("autoAssignPage.applyButton")
        self.assertTrue(wait_for(lambda: self.ui.get("autoAssignPage", "working") is False
                                 and self.ui.get("autoAssignPage", "numFailed") == 0,
                                 ASSIGN_TIMEOUT), self.note())
        second = self.addresses_by_mac()
        for mac, ip in first.items():
            if ip == refused:
                self.assertTrue(second[mac].startswith("127.0.193."), second[mac])
                self.assertNotIn(second[mac], taken)
            else:
                self.assertEqual(second[mac], ip)
                self.assertEqual(self.setparam_bodies(ip), [], ip)

        self.ui.navigate("MainPage")
        self.wait_page("MainPage")
        self.assertEqual(self.listed("127.0.193."), COUNT)

    # --- the export area ---

    def open_export_tab(self, tab):
        self.ui.navigate("Export")
        self.wait_page("Export")
        self.ui.click("exportMode_" + tab)
        self.assertTrue(wait_for(lambda: self.ui.get("exportPage.pageSwitcher", "shownPage")
                                 == tab, 5.0), self.note())

    def answer_dialog(self, page, dialog, url):
        """Starts the page's export as its dialog's answer does. The file dialog is the
        desktop's own and cannot be driven: the test sees it open, closes it, and hands the
        chosen file or folder to exportTo(), the function the dialog's accepted() calls."""
        self.ui.click(page + ".fileDetailBtn.itemButton")
        self.assertTrue(wait_for(lambda: self.ui.get(dialog, "visible") is True, 5.0),
                        self.note())
        self.assertTrue(self.client.invoke(dialog, "close").get("result"))
        self.assertTrue(self.client.invoke(page, "exportTo", [url]).get("result"))

    def wait_exported(self, page, timeout=40.0):
        self.assertTrue(wait_for(lambda: self.ui.get(page, "pageStatus") == FINISHED, timeout),
                        self.note())
        self.assertEqual(self.ui.get(page, "errorCount"), 0, self.note())
        self.assertEqual(self.ui.get(page, "pageState"), "Success", self.note())

    def read_device_list(self, path):
        """The rows of the exported file by MAC, and its header."""
        with open(path, newline="", encoding="utf-8") as f:
            lines = list(csv.reader(f))
        header, rows = lines[0], [dict(zip(lines[0], line)) for line in lines[1:]]
        by_mac = {row["MAC"]: row for row in rows}
        self.assertEqual(len(by_mac), len(rows), "a device is listed twice: %r" % rows)
        return header, by_mac

    def expected_rows(self, devices):
        return {dashed_mac(d["mac"]): (d["ip"], d["model"]) for d in devices}

    def found_rows(self, rows):
        return {mac: (row["IP"], row["Model name"]) for mac, row in rows.items()}

    def test_device_list_is_written_to_the_chosen_file(self):
        folder = tempfile.mkdtemp(prefix="device-list-", dir=self.app.directory)
        path = os.path.join(folder, "fleet list.csv")
        self.open_export_tab("SetupDetail")
        self.answer_dialog("exportDevicesPage", "exportDeviceDialog", file_url(path))
        self.wait_exported("exportDevicesPage")

        header, rows = self.read_device_list(path)
        # Every field ends with a comma, the last one too: an empty last column.
        self.assertEqual(header[-1], "")
        self.assertIn("IP", header)
        self.assertEqual(self.found_rows(rows), self.expected_rows(self.devices()))

    def test_device_list_retry_asks_only_the_refusing_device(self):
        refusing = address(FIRST_IP, 1)
        self.sim.change(refusing, fault={"kind": "status", "status": 500})
        folder = tempfile.mkdtemp(prefix="device-list-", dir=self.app.directory)
        path = os.path.join(folder, "fleet.csv")
        self.open_export_tab("SetupDetail")
        self.answer_dialog("exportDevicesPage", "exportDeviceDialog", file_url(path))
        page = "exportDevicesPage"
        self.assertTrue(wait_for(lambda: self.ui.get(page, "pageStatus") == FINISHED, 40.0),
                        self.note())
        self.assertEqual(self.ui.get(page, "errorCount"), 1, self.note())
        self.assertEqual(self.ui.get(page, "pageState"), "Failed", self.note())
        answering = [d for d in self.devices() if d["ip"] != refusing]
        self.assertEqual(self.found_rows(self.read_device_list(path)[1]),
                         self.expected_rows(answering))

        # The device comes round; the retry asks it alone and the file holds every device.
        self.sim.change(refusing, fault={"kind": "none"})
        for ip in self.sim.addresses:
            self.sim.clear_received(ip)
        self.ui.click(page + ".fileDetailBtn.itemWarningBar.retryButton")
        self.wait_exported(page)
        self.assertEqual(self.found_rows(self.read_device_list(path)[1]),
                         self.expected_rows(self.devices()))
        for ip in self.sim.addresses:
            self.assertEqual("/cgi-bin/admin/getparam.cgi" in self.sim.received_paths(ip),
                             ip == refusing, ip)

    def test_debug_reports_land_in_the_chosen_folder(self):
        root = tempfile.mkdtemp(prefix="debug-reports-", dir=self.app.directory)
        self.open_export_tab("DebugReport")
        self.answer_dialog("exportDebugPage", "exportDebugInfoDialog", file_url(root))
        self.wait_exported("exportDebugPage")

        runs = os.listdir(root)
        self.assertEqual(len(runs), 1, runs)
        self.assertRegex(runs[0], r"^Debug_report_\d{8}_\d{4}$")
        run = os.path.join(root, runs[0])
        devices = {"%s_%s" % (dashed_mac(d["mac"]), d["model"]): d for d in self.devices()}
        self.assertEqual(sorted(os.listdir(run)), sorted(devices))
        for name, device in devices.items():
            # Every camera gives its backup and its server report; the application's files
            # come only from a camera that runs it (the others answer 404, which is no failure).
            stem = "%s_%s" % (device["model"], device["serial"])
            expected = {"backup_%s.tar" % stem, "serverreport_%s.txt" % stem}
            if any(module["name"] == "VCA" for module in device["modules"]):
                expected |= {"VCA_config_%s.json" % stem, "VCA_log_%s.txt" % stem}
            folder = os.path.join(run, name)
            self.assertEqual(set(os.listdir(folder)), expected, name)
            for file in expected:
                self.assertGreater(os.path.getsize(os.path.join(folder, file)), 0, file)


if __name__ == "__main__":
    unittest.main()
