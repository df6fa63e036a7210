"""The package and licence tabs of the maintenance area, end to end against a simulated fleet and
driven by object name: a package chosen on "Update packages" is installed on every selected
camera, and licence files chosen on "Update licenses" reach the device each one names, a
refusing device ending in the group's failed list.

The desktop's file dialog cannot be driven from here: the tests hand the chosen files to the
page's filesChosen(), the function the dialog's answer calls. Runs under Xvfb.
"""

import os
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from fleet_case import FleetProgramCase
from main_window import wait_for

FINISHED = 4
SETTINGS = {"searchTimeMs": "1500", "authorizeTimeoutMs": "5000"}


class ZapkTabsTest(FleetProgramCase):
    FIRST_IP = "127.0.173.10"
    COUNT = 3
    SIMULATOR = {"extra_args": ["--no-modules"]}

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.files = tempfile.TemporaryDirectory(prefix="ardmere-zapk-")

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.files.cleanup()

    def setUp(self):
        self.reset_fleet()
        self.start_program(SETTINGS)
        self.authorize_all()
        self.ui.select_all()
        self.assertTrue(wait_for(lambda: self.ui.get("mainPage", "numSelected") == self.COUNT))
        self.ui.navigate("Maintenance")
        self.wait_page("Maintenance")

    def open_tab(self, name):
        self.ui.click("maintenanceMode_" + name)
        self.assertTrue(wait_for(lambda: self.ui.get("pageSwitcher", "shownPage") == name, 5.0),
                        self.note())

    def write(self, name, content):
        path = Path(self.files.name) / name
        path.write_bytes(content)
        return path.as_uri()

    def shot(self, name):
        """With ARDMERE_ZAPK_SHOTS set to a folder, a picture of the screen to look at."""
        folder = os.environ.get("ARDMERE_ZAPK_SHOTS")
        if not folder:
            return
        os.makedirs(folder, exist_ok=True)
        # Pictures only: the page has settled once the remote control answered.
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                       check=True)

    def choose(self, page, urls):
        reply = self.client.invoke(page, "filesChosen", [urls])
        self.assertNotIn("error", reply, reply)

    def test_package_is_installed_on_every_selected_camera(self):
        self.open_tab("Package")
        self.choose("packagePage", [self.write("VCA_2.3.1.gz", os.urandom(256 * 1024))])
        self.assertTrue(wait_for(lambda: self.ui.get("packagePage", "pageStatus") == FINISHED,
                                 60.0), self.note())
        self.assertFalse(self.ui.get("maintenanceMode_Package", "running"))
        self.assertEqual(self.ui.get("packagePage", "numFailedGroup"), 0)
        for ip in self.sim.addresses:
            modules = [(m["name"], m["version"]) for m in self.sim.device(ip)["modules"]]
            self.assertEqual(modules, [("VCA", "2.3.1")], ip)
            self.assertIn("/cgi-bin/admin/upload_zapk.cgi", self.sim.received_paths(ip))
        self.shot("zapk-package-installed")

    def test_licences_reach_their_own_devices_and_a_refusal_is_listed(self):
        ips = list(self.sim.addresses)
        for ip in ips:
            self.sim.change(ip, modules=[{"index": 0, "name": "VCA", "version": "2.1.0"}])
        self.sim.request("POST", "/devices/%s/fault" % ips[2], {"kind": "refuse-uploads"})
        self.open_tab("License")
        digits = [self.sim.device(ip)["mac"].replace("-", "") for ip in ips]
        urls = [self.write("licence_%d.lic" % i, ("<License><MAC>%s</MAC></License>"
                                                    % digits[i]).encode())
                for i in (0, 2)]
        urls.append(self.write("nobody.txt", b"no MAC here"))
        self.choose("licensePage", urls)
        self.assertTrue(wait_for(lambda: self.ui.get("licensePage", "pageStatus") == FINISHED,
                                 60.0), self.note())
        self.assertEqual(self.sim.device(ips[0])["modules"][0]["license"], "valid")
        self.assertEqual(self.sim.device(ips[1])["modules"][0]["license"], "none")
        self.assertEqual(self.sim.device(ips[2])["modules"][0]["license"], "none")
        self.assertNotIn("/cgi-bin/admin/upload_zapklicense.cgi", self.sim.received_paths(ips[1]))
        self.assertEqual(self.ui.get("licensePage", "numFailedGroup"), 1)
        self.assertEqual(self.ui.get("zapkGroup_0", "errorCount"), 1)
        self.shot("zapk-licence-refused")


if __name__ == "__main__":
    unittest.main()
