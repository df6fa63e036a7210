"""The application page of the real program against a simulated fleet, driven by object name: the
modules the selected cameras run are listed with their device counts, a module is stopped and
started again from its set-up window and the cameras follow, Trend Micro IoT Security is switched
on through its licence agreement and put into manual update mode, and an uninstall takes the
module off every selected camera. Runs under Xvfb.
"""

import os
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from fleet_case import FleetProgramCase
from main_window import wait_for

SETTINGS = {"searchTimeMs": "1500", "authorizeTimeoutMs": "5000"}


class ApplicationPageTest(FleetProgramCase):
    FIRST_IP = "127.0.174.10"
    COUNT = 3
    SIMULATOR = {"extra_args": ["--no-modules"]}
    WARNINGS_OF = "qrc:/src/qml/ZAPK/"

    def setUp(self):
        self.reset_fleet()
        ips = list(self.sim.addresses)
        common = [{"index": 0, "name": "VCA", "version": "2.1.0", "status": "on"},
                  {"index": 1, "name": "Parking Counter", "version": "1.4.0", "status": "on"},
                  {"index": 3, "name": "Trend Micro IoT Security", "version": "1.3.0",
                   "status": "off", "updateMode": "Auto"}]
        for ip in ips:
            self.sim.change(ip, modules=common)
        self.sim.change(ips[2], modules=common + [
            {"index": 2, "name": "Cloud", "version": "1.0.0", "status": "on"}])
        self.start_program(SETTINGS)
        self.authorize_all()
        self.select_all_listed()
        self.ui.navigate("ZAPK")
        self.wait_page("ZAPK")
        self.assertTrue(wait_for(lambda: self.ui.get("ZAPKPackagesTitle", "text") == "4 Packages",
                                 30.0), self.note())

    def shot(self, name):
        """With ARDMERE_ZAPK_SHOTS set to a folder, a picture of the screen to look at."""
        folder = os.environ.get("ARDMERE_ZAPK_SHOTS")
        if not folder:
            return
        os.makedirs(folder, exist_ok=True)
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                       check=True)

    def module_row(self, name):
        for row in range(8):
            if self.ui.get("packageItem%d" % row, "moduleName") == name:
                return row
        self.fail("no module %s listed\n%s" % (name, self.note()))

    def open_module(self, name):
        row = self.module_row(name)
        self.ui.click("packageItem%d" % row)
        self.assertTrue(wait_for(lambda: self.ui.get("selectedModuleText", "text") == name),
                        self.note())
        self.client.invoke("ZAPKRightPanelTable", "selectAll")
        return row

    def module_states(self, name):
        out = {}
        for ip in self.sim.addresses:
            found = [m for m in self.sim.device(ip)["modules"] if m["name"] == name]
            out[ip] = found[0]["status"] if found else None
        return out

    def test_modules_are_listed_with_their_device_counts(self):
        counts = {self.ui.get("packageItem%d" % r, "moduleName"):
                  self.ui.get("packageItem%d" % r, "deviceCount") for r in range(4)}
        self.assertEqual(counts, {"VCA": 3, "Parking Counter": 3, "Trend Micro IoT Security": 3,
                                  "Cloud": 1})
        row = self.open_module("Cloud")
        self.assertTrue(wait_for(lambda: self.ui.get("zapkPage", "numSelected") == 1), self.note())
        self.assertTrue(self.ui.get("packageItem%d" % row, "current"))
        # A cloud module can be removed but never set up.
        self.assertFalse(self.ui.enabled("SetupBarSetupButton"))
        self.assertTrue(self.ui.enabled("SetupBarRemoveButton"))
        self.shot("zapk-application-page")

    def test_a_module_is_stopped_and_started_from_its_setup_window(self):
        self.open_module("Parking Counter")
        self.assertTrue(wait_for(lambda: self.ui.enabled("SetupBarSetupButton")), self.note())
        self.ui.click("SetupBarSetupButton")
        self.assertTrue(self.ui.wait_visible("setupWindow"), self.note())
        self.assertEqual(self.ui.get("packageTitleText", "text", window="setupWindow"),
                         "Parking Counter")
        self.assertTrue(wait_for(lambda: self.ui.get("onoffToggleBtn", "checked") is True),
                        self.note())
        for wanted, checked in (("off", False), ("on", True)):
            self.ui.click("onoffToggleBtn", window="setupWindow")
            self.assertTrue(wait_for(lambda: set(self.module_states("Parking Counter").values())
                                     == {wanted}, 30.0), self.module_states("Parking Counter"))
            self.assertTrue(wait_for(lambda: self.ui.get("setupWindow", "result") == "success",
                                     30.0), self.note())
            self.assertTrue(wait_for(lambda: self.ui.get("onoffToggleBtn", "checked") is checked),
                            self.note())
            if not checked:
                self.shot("zapk-setup-window-stopped")
        self.client.invoke("setupWindow", "askClose")
        self.assertTrue(self.ui.wait_hidden("setupWindow"), self.note())

    def test_trend_micro_is_switched_on_after_its_agreement_and_set_to_manual_updates(self):
        name = "Trend Micro IoT Security"
        self.open_module(name)
        self.assertTrue(wait_for(lambda: self.ui.enabled("SetupBarSetupButton")), self.note())
        self.ui.click("SetupBarSetupButton")
        self.assertTrue(self.ui.wait_visible("setupWindow"), self.note())
        self.ui.click("onoffToggleBtn", window="setupWindow")
        self.assertTrue(self.ui.wait_visible("agreementWindow"), self.note())
        self.assertEqual(set(self.module_states(name).values()), {"off"})
        self.shot("zapk-trend-agreement")
        self.ui.click("btnAcceptLicense", window="agreementWindow")
        self.assertTrue(wait_for(lambda: set(self.module_states(name).values()) == {"on"}, 30.0),
                        self.module_states(name))
        self.assertTrue(wait_for(lambda: self.ui.get("naviViewZAPKButton_Update", "tabEnabled")
                                 is True, 30.0), self.note())
        self.ui.click("naviViewZAPKButton_Update", window="setupWindow")
        self.ui.click("radioManual", window="setupWindow")
        self.assertTrue(wait_for(lambda: self.ui.enabled("btnApplyMode")), self.note())
        self.ui.click("btnApplyMode", window="setupWindow")

        def modes():
            out = set()
            for ip in self.sim.addresses:
                out.update(m.get("updateMode") for m in self.sim.device(ip)["modules"]
                           if m["name"] == name)
            return out
        self.assertTrue(wait_for(lambda: modes() == {"Manual"}, 30.0), modes())
        self.assertTrue(wait_for(lambda: self.ui.visible("btnImportSignature"), 30.0),
                        self.note())
        self.shot("zapk-trend-update-signature")
        self.client.invoke("setupWindow", "askClose")
        self.assertTrue(self.ui.wait_hidden("setupWindow"), self.note())

    def test_a_template_is_exported_from_the_chosen_camera(self):
        self.open_module("VCA")
        self.assertTrue(wait_for(lambda: self.ui.enabled("SetupBarSetupButton")), self.note())
        self.ui.click("SetupBarSetupButton")
        self.assertTrue(self.ui.wait_visible("stereoTrackerWindow"), self.note())
        self.ui.click("naviViewZAPKButton_Batch", window="stereoTrackerWindow")
        self.assertTrue(wait_for(lambda: self.ui.visible("stereoBatchPage")), self.note())
        self.ui.click("btnExport", window="stereoTrackerWindow")
        self.assertTrue(self.ui.wait_visible("stereoCameraSelectWindow"), self.note())
        self.assertTrue(wait_for(lambda: self.ui.get("CameraSelectWindowSelectTable", "count") == 3),
                        self.note())
        self.ui.click("ZAPKListTableRowDelegate1", window="stereoCameraSelectWindow")
        self.shot("zapk-stereo-select-device")
        self.assertTrue(wait_for(lambda: self.ui.enabled("btnExportConfig")), self.note())
        self.ui.click("btnExportConfig", window="stereoCameraSelectWindow")
        ips = list(self.sim.addresses)
        self.assertTrue(wait_for(lambda: self.ui.get("stereoBatchPage", "chosenIp") in ips),
                        self.note())
        chosen = self.ui.get("stereoBatchPage", "chosenIp")
        self.assertEqual(self.ui.get("stereoBatchPage", "chosenIndex"), 0)
        # The desktop's folder dialog cannot be driven from here: its answer is handed on as the
        # dialog would.
        self.client.invoke("dirSelectorDialog", "close")
        folder = tempfile.mkdtemp(prefix="ardmere-tpl-")
        self.addCleanup(shutil.rmtree, folder, True)
        for ip in ips:
            self.sim.clear_received(ip)
        self.client.invoke("stereoBatchPage", "exportTo", [Path(folder).as_uri()])
        self.assertTrue(wait_for(lambda: self.ui.get("stereoBatchPage", "exportState") == "success",
                                 30.0), self.ui.get("stereoBatchPage", "exportState"))
        self.assertTrue(os.listdir(folder), folder)
        # Only the chosen camera was asked for its template.
        for ip in ips:
            asked = any("export_file" in p for p in self.sim.received_paths(ip))
            self.assertEqual(asked, ip == chosen, ip)
        self.shot("zapk-stereo-exported")
        self.client.invoke("stereoTrackerWindow", "askClose")

    def test_uninstall_takes_the_module_off_every_selected_camera(self):
        self.open_module("VCA")
        self.assertTrue(wait_for(lambda: self.ui.enabled("SetupBarRemoveButton")), self.note())
        self.ui.click("SetupBarRemoveButton")
        self.assertTrue(self.ui.wait_visible("uninstallWindow"), self.note())
        self.ui.click("leftButton", window="uninstallWindow")
        self.assertTrue(wait_for(lambda: set(self.module_states("VCA").values()) == {None}, 30.0),
                        self.module_states("VCA"))
        left = [m["name"] for m in self.sim.device(list(self.sim.addresses)[2])["modules"]]
        self.assertEqual(left, ["Parking Counter", "Trend Micro IoT Security", "Cloud"])
        self.shot("zapk-uninstalled")


if __name__ == "__main__":
    unittest.main()
