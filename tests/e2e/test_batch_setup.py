"""Batch setup of the real program against a simulated fleet, driven as a user drives it: a
template read from one camera, a setting changed in the form, the template applied to every
selected camera and read back from each with getparam; a template exported to a file,
imported again and applied; and a camera that does not answer, failed, kept on the page and
retried alone. The sample device pack beside the program gives the forms.

Every test starts the program afresh beside one simulator for the class (cameras only, on
addresses of their own). Runs under Xvfb.
"""

import glob
import os
import shutil
import subprocess
import time
import tempfile
import unittest
import urllib.parse
import urllib.request

import ardmere_remote
from ardmere_remote import ArdmereInstance
from fleet_case import PASSWORD, FleetProgramCase
from main_window import MAIN, wait_for

FIRST_IP = "127.0.180.10"
COUNT = 3
HTTP_PORT = 8080
FINISHED = 4


class PackedInstance(ArdmereInstance):
    """The program with the sample device pack beside it, as an installation has it."""

    def start(self):
        packs = glob.glob(os.path.join(os.path.dirname(self.binary), "*.vdp"))
        real_mkdtemp = tempfile.mkdtemp

        def mkdtemp(*args, **kwargs):
            directory = real_mkdtemp(*args, **kwargs)
            for pack in packs:
                shutil.copy(pack, directory)
            return directory

        ardmere_remote.tempfile.mkdtemp = mkdtemp
        try:
            super().start()
        finally:
            ardmere_remote.tempfile.mkdtemp = real_mkdtemp


def getparam(ip, name):
    """The value a camera answers for one parameter, read as any client reads it."""
    url = "http://%s:%d/cgi-bin/admin/getparam.cgi?%s" % (ip, HTTP_PORT, name)
    manager = urllib.request.HTTPPasswordMgrWithDefaultRealm()
    manager.add_password(None, url, "root", PASSWORD)
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}),
                                         urllib.request.HTTPBasicAuthHandler(manager),
                                         urllib.request.HTTPDigestAuthHandler(manager))
    with opener.open(url, timeout=10) as reply:
        for line in reply.read().decode("utf-8", "replace").splitlines():
            key, _, value = line.partition("=")
            if key == name:
                return value.strip().strip("'")
    return None


class BatchSetupBase(FleetProgramCase):
    """The program on the batch-setup page with every camera of the class's fleet selected."""

    FIRST_IP = FIRST_IP
    COUNT = COUNT
    MODELS = None
    INSTANCE = PackedInstance

    @classmethod
    def setUpClass(cls):
        extra = ["--models", cls.MODELS] if cls.MODELS else []
        cls.SIMULATOR = {"http_port": HTTP_PORT, "extra_args": extra}
        super().setUpClass()

    def setUp(self):
        self.reset_fleet()
        self.start_program({"searchTimeMs": "1500", "authorizeTimeoutMs": "5000",
                            "batchSetDevicesTimeoutMS": "5000"})
        # The end of the search resets the selection and the navigation.
        self.assertTrue(self.ui.wait_search_done(), self.note())
        self.authorize_all()
        self.select_all_listed()
        self.ui.navigate("BatchSetup")
        self.wait_page("BatchSetup")
        self.assertTrue(self.ui.wait_visible("InstructionPage"), self.note())

    def shown_page(self):
        return self.ui.get("batchSetupPage.pageSwitcher", "shownPage")

    def read_template_from_camera(self):
        self.ui.click("batchSetupMode_CreateFromCamera")
        self.assertTrue(self.ui.wait_visible("InstructionPageCameraSelectWindow"), self.note())
        self.assertTrue(wait_for(lambda: self.ui.exists("CameraSelectWindowSelectTable.row_0")),
                        self.note())
        self.ui.click("CameraSelectWindowSelectTable.row_0")
        self.assertTrue(self.client.command(
            "dbclick", {"winobjname": MAIN, "objname": "CameraSelectWindowSelectTable.row_0"})
            .get("result"))
        self.assertTrue(wait_for(lambda: self.shown_page() == "Setting", 30.0), self.note())
        self.assertTrue(self.ui.wait_visible("SettingPage"), self.note())

    def apply_all_and_wait(self):
        self.assertTrue(wait_for(lambda: self.ui.enabled("ApplyBarApplyAllButton")), self.note())
        self.ui.click("ApplyBarApplyAllButton")
        window = "SettingPageApplyAllWindow"
        self.assertTrue(self.ui.wait_visible(window), self.note())
        self.ui.click("leftButton", window=window)
        self.assertTrue(wait_for(lambda: self.shown_page() == "Uploading"), self.note())
        self.assertTrue(wait_for(lambda: self.ui.get("UploadingPage", "pageStatus") == FINISHED,
                                 40.0), self.note())
        self.assertTrue(wait_for(lambda: self.ui.get("UploadingPage", "pageState") != ""),
                        self.note())
        return self.ui.get("UploadingPage", "errorCount")

    def restart_counts(self):
        return {ip: self.sim.device(ip)["restarts"] for ip in self.sim.addresses}

    def wait_restarted(self, before, addresses=None):
        """A whole template holds the ports, whose change restarts the camera: waits until each
        camera restarted once more and is back."""
        for ip in addresses or self.sim.addresses:
            self.assertTrue(wait_for(lambda: self.sim.device(ip)["restarts"] > before[ip]), ip)
            self.assertTrue(wait_for(lambda: self.sim.device(ip)["state"] == "online"), ip)

    def set_host_name(self, name):
        self.ui.type_into("questionHostName.questionInputBox", name)
        self.assertTrue(wait_for(lambda: self.ui.get("questionHostName", "outputValue") == name),
                        self.note())


class BatchSetupTest(BatchSetupBase):
    def test_template_from_camera_edited_and_applied(self):
        self.read_template_from_camera()
        template = self.ui.get("questionHostName", "outputValue")
        self.assertTrue(template, "the host name comes from the template camera")
        self.set_host_name("lobby-cam")
        before = self.restart_counts()
        self.assertEqual(self.apply_all_and_wait(), 0, self.note())
        self.assertEqual(self.ui.get("UploadingPage", "pageState"), "Success")
        self.wait_restarted(before)
        for ip in self.sim.addresses:
            self.assertEqual(getparam(ip, "system_hostname"), "lobby-cam", ip)

    def test_exported_template_imported_and_applied(self):
        self.read_template_from_camera()
        self.set_host_name("yard-cam")
        folder = tempfile.mkdtemp(prefix="batch-template-", dir=self.app.directory)
        url = "file://" + urllib.parse.quote(os.path.join(folder, "yard.csv"))
        self.assertTrue(self.client.invoke("SettingPage", "exportTo", [url]).get("result"))
        self.assertTrue(wait_for(lambda: self.ui.get("SettingPage", "exported")), self.note())
        self.assertTrue(os.path.getsize(os.path.join(folder, "yard.csv")) > 0)
        # Leaving the exported template needs no confirmation.
        self.ui.click("ApplyBarAbortButton")
        self.assertTrue(wait_for(lambda: self.shown_page() == "Instruction"), self.note())
        self.assertTrue(self.client.invoke("InstructionPage", "importFrom", [url]).get("result"))
        self.assertTrue(wait_for(lambda: self.shown_page() == "Setting", 30.0), self.note())
        self.assertTrue(wait_for(lambda: self.ui.get("questionHostName", "outputValue")
                                 == "yard-cam"), self.note())
        before = self.restart_counts()
        self.assertEqual(self.apply_all_and_wait(), 0, self.note())
        # The page counts down while the cameras restart.
        self.assertGreater(self.ui.get("UploadingPage", "restartCountdown"), 0, self.note())
        self.wait_restarted(before)
        for ip in self.sim.addresses:
            self.assertEqual(getparam(ip, "system_hostname"), "yard-cam", ip)

    def test_a_silent_camera_fails_and_only_it_is_retried(self):
        silent = self.sim.addresses[2]
        self.read_template_from_camera()
        self.set_host_name("gate-cam")
        self.sim.change(silent, fault={"kind": "silent"})
        self.assertEqual(self.apply_all_and_wait(), 1, self.note())
        self.assertEqual(self.ui.get("UploadingPage", "pageState"), "Failed")
        self.assertTrue(self.ui.wait_visible("UploadingPageFailedTable"), self.note())
        self.assertTrue(self.ui.enabled("batchSetupMode_ImportTemplate"),
                        "a failed run restarts nothing, so the tabs stay")
        # Leaving asks first; Cancel keeps the page.
        self.ui.navigate("MainPage")
        self.assertTrue(self.ui.wait_visible("UploadingPageLeaveWindow"), self.note())
        self.assertEqual(self.ui.get("UploadingPageLeaveWindow", "leftBtnText"), "Discard")
        self.ui.click("rightButton", window="UploadingPageLeaveWindow")
        self.assertTrue(self.ui.wait_hidden("UploadingPageLeaveWindow"))
        self.assertEqual(self.ui.current_page(), "BatchSetup")
        # The retry goes to the camera that failed, and only to it.
        self.sim.change(silent, fault={"kind": "none"})
        for ip in self.sim.addresses:
            self.sim.clear_received(ip)
        before = self.restart_counts()
        self.ui.click("UploadingPageItemDetailButton.retryButton")
        self.assertTrue(wait_for(lambda: self.ui.get("UploadingPage", "pageState") == "Success",
                                 40.0), self.note())
        self.assertEqual(self.ui.get("UploadingPage", "errorCount"), 0)
        self.assertIn("/cgi-bin/admin/setparam.cgi", self.sim.received_paths(silent))
        for ip in self.sim.addresses[:2]:
            self.assertNotIn("/cgi-bin/admin/setparam.cgi", self.sim.received_paths(ip), ip)
        self.wait_restarted(before, [silent])
        self.assertEqual(getparam(silent, "system_hostname"), "gate-cam")

    @unittest.skipUnless(os.environ.get("ARDMERE_BATCH_SHOTS"),
                         "set ARDMERE_BATCH_SHOTS to a folder for screenshots of the settings pages")
    def test_settings_pages_screenshots(self):
        """Every settings page of a one-camera template (so the per-channel pages show their
        questions), the section window and the run, as PNGs to look at."""
        folder = os.environ["ARDMERE_BATCH_SHOTS"]
        os.makedirs(folder, exist_ok=True)

        def shot(name):
            # Pictures only: the page has settled once the remote control answered.
            time.sleep(0.5)
            subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                           check=True)

        self.ui.navigate("MainPage")
        self.assertTrue(wait_for(lambda: self.ui.current_page() == "MainPage"))
        self.ui.click("row_0")
        self.assertTrue(wait_for(lambda: self.ui.get("mainPage", "numSelected") == 1))
        self.ui.navigate("BatchSetup")
        self.assertTrue(wait_for(lambda: self.ui.current_page() == "BatchSetup"), self.note())
        shot("batch-00-instruction")
        self.read_template_from_camera()
        for number, name in enumerate(SETTINGS_PAGES, 1):
            if self.ui.exists("settingEntry_" + name):
                self.ui.click("settingEntry_" + name)
                self.assertTrue(wait_for(lambda: self.ui.get("SettingPagePageSwitcher", "shownPage")
                                         == name), name)
                shot("batch-%02d-%s" % (number, name))
        self.ui.click("ApplyBarApplySection")
        self.assertTrue(self.ui.wait_visible("SettingPageApplySectionWindow"))
        shot("batch-20-sections")
        self.client.invoke("SettingPageApplySectionWindow", "close")
        self.apply_all_and_wait()
        shot("batch-21-uploading")


SETTINGS_PAGES = ["HostNameAndTime", "UserAccount", "HTTPS", "NetworkTypeAndPort",
                  "StreamingProtocols", "QoS", "SNMP", "ImageSetting", "Video", "Audio", "DIDO",
                  "MotionDetection", "CustomizedSettings"]


class SameModelBatchSetupTest(BatchSetupBase):
    """Cameras of one model: the per-channel settings are offered and applied too."""

    FIRST_IP = "127.0.181.10"
    MODELS = "QB9365"

    def test_per_channel_settings_reach_every_camera(self):
        before_stamp = getparam(self.sim.addresses[0], "videoin_c0_imprinttimestamp")
        self.read_template_from_camera()
        self.ui.click("settingEntry_ImageSetting")
        self.assertTrue(wait_for(lambda: self.ui.exists("questionTimestamp")), self.note())
        self.ui.click("questionTimestamp.questionCheckBox")
        wanted = "0" if before_stamp == "1" else "1"
        self.ui.type_into("questionVideoTitle.questionInputBox", "door")
        self.assertTrue(wait_for(lambda: self.ui.get("questionVideoTitle", "outputValue")
                                 == "door"), self.note())
        before = self.restart_counts()
        self.assertEqual(self.apply_all_and_wait(), 0, self.note())
        self.wait_restarted(before)
        for ip in self.sim.addresses:
            self.assertEqual(getparam(ip, "videoin_c0_imprinttimestamp"), wanted, ip)
            self.assertEqual(getparam(ip, "videoin_c0_text"), "door", ip)


if __name__ == "__main__":
    unittest.main()
