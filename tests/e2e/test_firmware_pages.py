"""The firmware pages of the real program against a simulated fleet, driven by object name: the
camera page upgrades two model groups from one start and shows the failed devices of a group
whose file the devices refuse; the recorder page upgrades its group on its own and keeps it
listed.

The desktop's file dialog cannot be driven from here: the tests hand the chosen file to the
page's fileChosen(), the function the dialog's answer calls, which passes it on to the page
controller's setFirmwarePath(). Everything after the choice is what the user sees.

Every test starts the program afresh beside one simulator for the class, which setUp puts back
into a known state. Short restarts and short verification settings keep the runs brief. Runs
under Xvfb.
"""

import os
import tempfile
import unittest
from pathlib import Path

from fleet import address
from fleet_case import FleetProgramCase
from main_window import wait_for

OLD_FIRMWARE = "0104a"
# Page and group statuses of the page controller.
LOADING = 1
FINISHED = 4
# Short upgrade settings: devices restart in 300 ms in the simulator.
UPGRADE_SETTINGS = {"uploadFirmwareTimeoutMs": "15000", "verifyFirmwareSleepMs": "300",
                    "verifyFirmwareTimeoutMS": "1500", "verifyFirmwareRetryTimes": "15",
                    "searchTimeMs": "1500", "authorizeTimeoutMs": "5000"}


def firmware_file(folder, name, model, version):
    """A firmware file the simulator understands: the naming line, then some payload."""
    path = Path(folder) / name
    path.write_bytes(("ARDMERE-FIRMWARE model=%s version=%s\n" % (model, version)).encode()
                     + os.urandom(64 * 1024))
    return path.as_uri()


class FirmwarePageCase(FleetProgramCase):
    RECORDERS = 0
    MODELS = []
    WARNINGS_OF = "qrc:/src/qml/Maintenance/Firmware"

    @classmethod
    def setUpClass(cls):
        cls.SIMULATOR = {"recorders": cls.RECORDERS, "extra_args": cls.MODELS}
        super().setUpClass()
        cls.files = tempfile.TemporaryDirectory(prefix="ardmere-fw-")

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.files.cleanup()

    def setUp(self):
        self.reset_fleet()
        for ip in self.sim.addresses:
            self.sim.change(ip, firmwareVersion=OLD_FIRMWARE)
        self.start_program(UPGRADE_SETTINGS)
        self.authorize_all()

    def wait_shown(self, name):
        self.assertTrue(wait_for(lambda: self.ui.get("pageSwitcher", "shownPage") == name, 5.0),
                        self.note())

    def choose_file(self, page, row, url):
        reply = self.client.invoke(page, "fileChosen", [row, url])
        self.assertTrue(reply.get("result"), reply)

    def models_of(self):
        return {ip: self.sim.device(ip)["model"] for ip in self.sim.addresses}

    def firmware_of(self, ip):
        return self.sim.device(ip)["firmwareVersion"]

    def upload_paths(self, ip):
        return [p for p in self.sim.received_paths(ip)
                if p.startswith("/cgi-bin/admin/") and "getparam" not in p
                and "lsctrl" not in p]


class CameraFirmwarePageTest(FirmwarePageCase):
    FIRST_IP = "127.0.175.10"
    COUNT = 5
    MODELS = ["--models", "QD8182,QB9365,QF8360"]

    def group_rows(self):
        """Model name to group row, as the page lists them."""
        count = self.ui.get("firmwareGroupList", "count")
        return {self.ui.get("firmwareGroup_%d" % row, "modelName"): row for row in range(count)}

    def test_two_groups_upgrade_from_one_start_and_a_refused_file_fails(self):
        self.ui.select_all()
        self.assertTrue(wait_for(lambda: self.ui.get("mainPage", "numSelected") == self.COUNT))
        self.ui.navigate("Maintenance")
        self.wait_page("Maintenance")
        self.ui.click("maintenanceMode_Firmware")
        self.wait_shown("Firmware")
        self.assertTrue(wait_for(lambda: self.ui.get("firmwareGroupList", "count") == 3),
                        self.note())
        # Groups follow the model names.
        rows = self.group_rows()
        self.assertEqual(sorted(rows), ["QB9365", "QD8182", "QF8360"])
        self.assertEqual([rows[m] for m in ("QB9365", "QD8182", "QF8360")], [0, 1, 2])
        self.assertEqual(self.ui.get("selectAllFirmwareBtn", "count"), self.COUNT)
        self.assertFalse(self.ui.enabled("btnStartUpdate"))

        files = self.files.name
        self.choose_file("firmwarePage", rows["QB9365"],
                         firmware_file(files, "QB9365-QXOR-0300b.pkg", "QB9365", "0300b"))
        self.choose_file("firmwarePage", rows["QD8182"],
                         firmware_file(files, "QD8182-QXOR-0205a.pkg", "QD8182", "0205a"))
        # The QF8360 cameras are given a file made for another model.
        self.choose_file("firmwarePage", rows["QF8360"],
                         firmware_file(files, "QB9365-QXOR-0301c.pkg", "QB9365", "0301c"))
        self.assertTrue(wait_for(lambda: self.ui.enabled("btnStartUpdate")), self.note())
        self.assertEqual(self.ui.get("fileDetailBtn1", "shownText"),
                         "QD8182\nQD8182-QXOR-0205a.pkg")
        self.assertTrue(self.ui.visible("firmwareGroup_1.groupCancelButton"))

        self.ui.click("btnStartUpdate")
        self.assertTrue(wait_for(lambda: self.ui.get("maintenanceMode_Firmware", "running"),
                                 10.0), self.note())
        # Every group is queued or running now: one file for all of them changes none.
        self.choose_file("firmwarePage", -1,
                         firmware_file(files, "QD8182-QXOR-0999z.pkg", "QD8182", "0999z"))
        self.assertTrue(self.ui.wait_visible("firmwareMessageWindow"), self.note())
        self.assertEqual(self.ui.get("firmwareMessageWindow", "warningText"),
                         "Unknown failure: 2")
        self.ui.click("rightButton", window="firmwareMessageWindow")
        self.assertTrue(self.ui.wait_hidden("firmwareMessageWindow"))
        self.assertTrue(wait_for(lambda: self.ui.get("firmwarePage", "pageStatus") == FINISHED,
                                 90.0), self.note())

        models = self.models_of()
        expected = {"QB9365": "0300b", "QD8182": "0205a", "QF8360": OLD_FIRMWARE}
        for ip, model in models.items():
            self.assertEqual(self.firmware_of(ip), expected[model], ip)
        # Both groups that finished well left the list; the refused group stays with its
        # failed device.
        self.assertTrue(wait_for(lambda: self.ui.get("firmwareGroupList", "count") == 1),
                        self.note())
        self.assertEqual(self.ui.get("firmwareGroup_0", "modelName"), "QF8360")
        self.assertEqual(self.ui.get("firmwareGroup_0", "errorCount"), 1)
        self.assertEqual(self.ui.get("fileDetailBtn0", "displayState"), "warning")
        self.assertTrue(self.ui.visible("firmwareGroup_0.groupFailedTable"), self.note())
        refused = [ip for ip, model in models.items() if model == "QF8360"]
        self.assertEqual(len(refused), 1)
        self.assertEqual(self.ui.get("firmwareGroup_0.groupFailedTable", "lineCount"), 1)
        self.assertTrue(self.ui.visible("firmwareGroup_0.failed_0"), self.note())
        self.assertEqual(self.ui.get("firmwarePage", "numFailedGroup"), 1)
        self.assertFalse(self.ui.get("maintenanceMode_Firmware", "running"))
        for ip in refused:
            self.assertIn("/cgi-bin/admin/upgrade.cgi", self.sim.received_paths(ip))

        # The failed group holds the user until the question is answered with "Abort".
        self.ui.navigate("MainPage")
        self.assertTrue(self.ui.wait_visible("leaveFirmwareWindow"), self.note())
        self.assertEqual(self.ui.get("leaveFirmwareWindow", "warningText"),
                         "Failed to update some devices.\nAre you sure you want to abort?")
        self.ui.click("rightButton", window="leaveFirmwareWindow")
        self.assertTrue(self.ui.wait_hidden("leaveFirmwareWindow"))
        self.assertEqual(self.ui.current_page(), "Maintenance")
        self.ui.navigate("MainPage")
        self.assertTrue(self.ui.wait_visible("leaveFirmwareWindow"), self.note())
        self.ui.click("leftButton", window="leaveFirmwareWindow")
        self.wait_page("MainPage")


class RecorderFirmwarePageTest(FirmwarePageCase):
    FIRST_IP = "127.0.175.40"
    COUNT = 3
    RECORDERS = 2
    MODELS = ["--recorder-models", "NR9782"]

    def test_recorder_group_upgrades_on_its_own_and_stays_listed(self):
        self.ui.click("deviceSet_nvr")
        self.assertTrue(self.ui.wait_rows(self.RECORDERS), self.note())
        self.ui.select_all()
        self.assertTrue(wait_for(lambda: self.ui.get("mainPage", "numSelected")
                                 == self.RECORDERS), self.note())
        self.ui.navigate("Maintenance")
        self.wait_page("Maintenance")
        self.wait_shown("NVRFirmware")
        self.assertTrue(wait_for(lambda: self.ui.get("nvrFirmwareGroupList", "count") == 1),
                        self.note())
        self.assertEqual(self.ui.get("nvrGroup_0.fileDetailBtn0", "shownText"),
                         "Select firmware to update")
        self.assertFalse(self.ui.visible("nvrGroup_0.NVRbtnStartUpdate"))

        self.choose_file("nvrFirmwarePage", 0,
                         firmware_file(self.files.name, "NR9782-QXOR-0400a.img", "NR9782",
                                       "0400a"))
        self.assertTrue(wait_for(lambda: self.ui.enabled("nvrGroup_0.NVRbtnStartUpdate")),
                        self.note())
        self.assertEqual(self.ui.get("nvrGroup_0.fileDetailBtn0", "shownText"),
                         "NR9782-QXOR-0400a.img")
        self.ui.click("nvrGroup_0.NVRbtnStartUpdate")
        self.assertTrue(wait_for(lambda: self.ui.get("nvrFirmwarePage", "pageStatus")
                                 == FINISHED, 60.0), self.note())

        recorders = [ip for ip, model in self.models_of().items() if model == "NR9782"]
        self.assertEqual(len(recorders), self.RECORDERS)
        for ip in recorders:
            self.assertEqual(self.firmware_of(ip), "0400a", ip)
            self.assertIn("/cgi-bin/admin/system.upgrade", self.sim.received_paths(ip))
        # The finished group stays, ready for another file.
        self.assertEqual(self.ui.get("nvrFirmwareGroupList", "count"), 1)
        self.assertEqual(self.ui.get("nvrGroup_0.fileDetailBtn0", "displayState"), "success")
        self.assertTrue(self.ui.enabled("nvrGroup_0.NVRbtnSelectAnotherFile"))
        self.assertFalse(self.ui.enabled("nvrGroup_0.NVRbtnStartUpdate"))
        # Nothing failed: the page lets the user go.
        self.ui.navigate("MainPage")
        self.wait_page("MainPage")
        self.assertFalse(self.ui.visible("leaveNVRFirmwareWindow"))


if __name__ == "__main__":
    unittest.main()
