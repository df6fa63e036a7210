"""The real main window against a simulated fleet, driven as a user drives it: discovery at
start, the navigation that follows the selection, authorization before leaving the main page,
first passwords for factory-new devices, IP-range search, adding and importing devices, the
device-set tabs, the filter and the information window.

Every test starts the program afresh (discovery runs at start) beside one simulator for the
class, which setUp puts back into a known state. Runs under Xvfb: the window is a real frameless
window whose boxes and dialogs are top-level windows of their own.
"""

import os
import tempfile
import unittest
from urllib.request import pathname2url

from ardmere_remote import ArdmereInstance
from fleet import DeviceSimulator, address
from main_window import CONTROL, KEY_A, MAIN, NAVI_ENTRIES, MainWindow, wait_for

FIRST_IP = "127.0.90.10"
CAMERAS = 6
RECORDERS = 2
COUNT = CAMERAS + RECORDERS
PASSWORD = "ardmere1"
# Typed by key clicks, so lower case only; it meets the simulated devices' policy (8 to 64
# characters with a letter and a digit).
NEW_PASSWORD = "newpass99"
# Addresses the simulator does not play until a test adds them, and one nothing listens on.
EXTRA_IP = "127.0.90.60"
IMPORT_IP = "127.0.90.61"
DEAD_IP = "127.0.90.99"
# The program's own main window inside a host that reaches the import step behind the file
# dialog, which belongs to the desktop.
HOST_SCENE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scenes",
                          "MainWindowHost.qml")


class MainWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = DeviceSimulator(FIRST_IP, COUNT, recorders=RECORDERS, password=PASSWORD)
        cls.sim.start()

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()

    def setUp(self):
        self.sim.reset()

    def start_program(self, scene=None):
        """Starts the program (discovery runs at start) and waits for the fleet to be listed."""
        settings = {"drmPort": str(self.sim.discovery_port), "searchTimeMs": "1500",
                    "authorizeTimeoutMs": "5000", "ImportDeviceTimeout": "5000"}
        self.app = ArdmereInstance(settings=settings, root_name=MAIN, scene=scene)
        self.app.start()
        self.addCleanup(self.stop_program)
        self.client = self.app.client()
        self.addCleanup(self.client.close)
        self.ui = MainWindow(self.client)
        self.assertTrue(wait_for(lambda: self.ui.visible(MAIN)), self.app.output())
        self.wait_listed(COUNT)

    def stop_program(self):
        self.app.stop()
        if self.app.process.returncode != 0:
            self.fail("ardmere exited with %s:\n%s" % (self.app.process.returncode,
                                                        self.app.output()))

    def note(self):
        """What to print beside a failed check: the program's own output."""
        return self.app.output()[-4000:]

    def status_bar(self, prop):
        return self.ui.get("mainPageStatusBar", prop)

    def wait_listed(self, count, timeout=30.0):
        # The discovery runs on for its full time after the first answer ends the searching
        # state; the icon turns until then.
        listed = wait_for(lambda: not self.ui.searching() and not self.status_bar("turning")
                          and self.status_bar("count") == count, timeout)
        self.assertTrue(listed, "listed %r of %d\n%s" % (self.status_bar("count"), count,
                                                         self.note()))

    def select_all(self, expected=CAMERAS):
        """Ctrl+A on the table; recorders are selectable only on the recorder tab."""
        self.ui.select_all()
        self.assertTrue(wait_for(lambda: self.status_bar("numSelected") == expected),
                        self.status_bar("numSelected"))

    def sort_by_address(self):
        """Clicks the address title until the table is sorted up by address: rows then follow
        the fleet's order, cameras first, recorders last."""
        for _ in range(2):
            if (self.ui.get("deviceTable", "sortRole") == "ipRole"
                    and self.ui.get("deviceTable", "sortOrder") == 0):
                return
            self.ui.click("deviceTable.title_ipRole")
        self.assertEqual((self.ui.get("deviceTable", "sortRole"),
                          self.ui.get("deviceTable", "sortOrder")), ("ipRole", 0))

    def wait_page(self, name, timeout=20.0):
        shown = wait_for(lambda: self.ui.current_page() == name, timeout)
        self.assertTrue(shown, "page %r, wanted %r" % (self.ui.current_page(), name))

    def window_of(self, objname):
        reply = self.client.getwinname(objname)
        self.assertTrue(reply.get("result"), "%s is not in a window: %r" % (objname, reply))
        return reply["value"]

    # --- discovery ---

    def test_discovery_at_start_lists_the_fleet_and_refresh_searches_again(self):
        self.start_program()
        self.assertEqual(self.ui.rows(), list(range(COUNT)))
        self.assertEqual(self.status_bar("numSelected"), 0)

        # A device that went away is gone after the next search: refresh really searches anew
        # and drops what the earlier discovery found.
        gone = address(FIRST_IP, 3)
        self.sim.change(gone, fault={"kind": "offline"})
        self.ui.click("refreshButton")
        self.wait_listed(COUNT - 1)
        self.assertEqual(self.ui.rows(), list(range(COUNT - 1)))

    # --- navigation and selection ---

    def test_function_entries_follow_the_selection(self):
        self.start_program()
        self.sort_by_address()
        only_main_and_info = ["MainPage", "Info"]
        steps = [
            ("nothing selected", None, 0, only_main_and_info),
            ("Ctrl+A on the table", lambda: self.ui.key(KEY_A, CONTROL), CAMERAS, NAVI_ENTRIES),
            ("click one row", lambda: self.ui.click("deviceTable.row_2"), 1, NAVI_ENTRIES),
            ("Ctrl+click it again", lambda: self.ui.click("deviceTable.row_2",
                                                          keyboardModifier=CONTROL),
             0, only_main_and_info),
        ]
        self.ui.click("deviceTable.row_0")
        self.ui.click("deviceTable.row_0", keyboardModifier=CONTROL)
        for name, action, selected, entries in steps:
            with self.subTest(step=name):
                if action:
                    action()
                self.assertTrue(wait_for(lambda: self.status_bar("numSelected") == selected),
                                self.status_bar("numSelected"))
                self.assertTrue(wait_for(lambda: self.ui.enabled_entries() == entries),
                                self.ui.enabled_entries())
        # A disabled entry does not switch the page.
        self.ui.navigate("Maintenance")
        self.assertEqual(self.ui.current_page(), "MainPage")

    def test_device_set_tabs_filter_the_table_and_clear_the_selection(self):
        self.start_program()
        recorder_entries = ["MainPage", "Maintenance", "Export", "Info"]
        # The tab, the rows it shows, how many of them Ctrl+A selects there (recorders only on
        # their own tab), and the entries enabled then (the recorder tab has its own bar).
        cases = [("deviceSet_nvr", RECORDERS, RECORDERS, recorder_entries),
                 ("deviceSet_camera", CAMERAS, CAMERAS, NAVI_ENTRIES),
                 ("deviceSet_all", COUNT, CAMERAS, NAVI_ENTRIES)]
        self.select_all(CAMERAS)
        for tab, count, selectable, entries in cases:
            with self.subTest(tab=tab):
                self.ui.click(tab)
                self.assertTrue(wait_for(lambda: self.status_bar("count") == count),
                                self.status_bar("count"))
                # Changing the tab clears the selection, and with it the function entries.
                self.assertEqual(self.status_bar("numSelected"), 0)
                self.assertEqual(self.ui.enabled_entries(), ["MainPage", "Info"])
                self.assertEqual(self.ui.rows(), list(range(count)))
                self.select_all(selectable)
                self.assertTrue(wait_for(lambda: self.ui.enabled_entries() == entries),
                                self.ui.enabled_entries())

    def test_filter_box_narrows_the_table(self):
        self.start_program()
        last = address(FIRST_IP, COUNT - 1)
        # Models come in turn from the simulator's list: QD8182 is device 0 and device 4.
        cases = [(last, 1), ("qd8182", 2), ("no such device", 0), ("", COUNT)]
        for text, count in cases:
            with self.subTest(filter=text):
                self.ui.type_into("filterBox", text)
                self.assertTrue(wait_for(lambda: self.status_bar("count") == count),
                                "%r shows %r" % (text, self.status_bar("count")))

    # --- authorization ---

    def authorize_in_window(self, user, password):
        window = "authorizeWindow"
        self.ui.type_into("authorizeWindowUserInput", user, window=window)
        self.ui.type_into("authorizeWindowPasswordInput", password, window=window)
        self.ui.click("authorizeWindowApplyButton", window=window)

    def test_leaving_with_unauthorized_devices_asks_to_authorize_first(self):
        self.start_program()
        self.select_all()
        self.ui.navigate("Maintenance")
        self.assertTrue(self.ui.wait_visible("authorizeWindow"), self.note())
        self.assertEqual(self.ui.current_page(), "MainPage")

        # A wrong password keeps the window open and the main page shown.
        self.authorize_in_window("root", "wrong123")
        self.assertFalse(wait_for(lambda: not self.ui.visible("authorizeWindow"), 4.0))
        self.assertEqual(self.ui.current_page(), "MainPage")

        self.authorize_in_window("root", PASSWORD)
        self.assertTrue(self.ui.wait_hidden("authorizeWindow"), self.note())
        self.wait_page("Maintenance")

        # Once authorized, the main page is left without a question.
        self.ui.navigate("MainPage")
        self.wait_page("MainPage")
        self.ui.navigate("Export")
        self.wait_page("Export")
        self.assertFalse(self.ui.visible("authorizeWindow"))

    def test_authorize_box_logs_in_to_every_device_when_none_is_selected(self):
        self.start_program()
        self.ui.click("authorizeButton")
        box = "authorizeBox"
        self.assertTrue(self.ui.wait_visible(box))
        self.ui.type_into("authorizeUserInput", "root", window=box)
        self.ui.type_into("authorizePasswordInput", PASSWORD, window=box)
        self.ui.click("authorizeApplyButton", window=box)
        # Every device answered with the account: selecting them all and leaving the page
        # asks nothing.
        for ip in self.sim.addresses:
            self.assertTrue(wait_for(lambda: "/cgi-bin/admin/lsctrl.cgi"
                                     in self.sim.received_paths(ip)), ip)
        self.select_all()
        self.ui.navigate("BatchSetup")
        self.wait_page("BatchSetup")
        self.assertFalse(self.ui.visible("authorizeWindow"))

    # --- first password ---

    def set_first_password(self, new, confirm):
        window = "passwordSettingWindow"
        self.ui.type_into("newPasswordInput", new, window=window)
        self.ui.type_into("confirmPasswordInput", confirm, window=window)

    def test_factory_new_devices_get_their_first_password(self):
        factory_new = [address(FIRST_IP, 1), address(FIRST_IP, 5)]
        self.sim.reset(first_use=factory_new)
        self.start_program()
        self.select_all()
        self.ui.navigate("AutoAssign")
        self.assertTrue(self.ui.wait_visible("authorizeWindow"), self.note())
        self.authorize_in_window("root", PASSWORD)

        # The factory-new devices ask for their first password; the authorize window gives way.
        self.assertTrue(self.ui.wait_visible("passwordSettingWindow"), self.note())
        self.assertTrue(self.ui.wait_hidden("authorizeWindow"))
        self.assertEqual(self.ui.current_page(), "MainPage")

        cases = [("no digit", "onlyletters", "onlyletters", False),
                 ("too short", "abc12", "abc12", False),
                 ("no match", NEW_PASSWORD, NEW_PASSWORD + "x", False),
                 ("acceptable", NEW_PASSWORD, NEW_PASSWORD, True)]
        for name, new, confirm, acceptable in cases:
            with self.subTest(password=name):
                self.set_first_password(new, confirm)
                self.assertEqual(self.ui.enabled("applyAllButton"), acceptable)
        self.ui.click("applyAllButton", window="passwordSettingWindow")
        self.assertTrue(self.ui.wait_hidden("passwordSettingWindow"))

        for ip in factory_new:
            state = wait_for(lambda: not self.sim.device(ip)["firstUse"] and self.sim.device(ip))
            self.assertTrue(state, ip)
            self.assertEqual(state["password"], NEW_PASSWORD)
        # Authorized with the new password, the devices no longer hold the page: the choice the
        # user made before goes through.
        self.wait_page("AutoAssign", timeout=30.0)

    # --- IP-range search ---

    def fill_address(self, prefix, text, window, empty=False):
        """Types an address into the four fields of one address box. Into empty fields it goes
        in one run, "." moving on to the next field; otherwise each field is clicked and
        emptied first (the box keeps what was typed the last time it was open)."""
        if empty:
            self.ui.type_into(prefix + "0", text, window=window)
            return
        for index, part in enumerate(text.split(".")):
            self.ui.type_into("%s%d" % (prefix, index), part, window=window)

    def open_range_box(self):
        self.ui.click("rangeSearchButton")
        self.assertTrue(wait_for(lambda: self.ui.visible("rangeFromField0")))
        return self.window_of("rangeFromField0")

    def test_range_search(self):
        self.start_program()
        # Addresses of the loopback network only: whatever the window does, no probe leaves
        # the machine.
        cases = [
            # name, from, to, what the notice says (None: no notice, the search starts)
            ("wildcard below the question threshold", "127.0.90.*", None, None),
            ("65535 addresses ask first", "127.1.0.0", "127.1.255.255",
             ["over 3 minutes", "65535"]),
            ("the second address below the first, asked the same", "127.1.255.255",
             "127.1.0.0", ["over 3 minutes", "65535"]),
            ("above the limit is refused", "127.0.0.0", "127.15.255.255",
             ["more than 1000,000 devices"]),
        ]
        for number, (name, start, end, notice) in enumerate(cases):
            with self.subTest(case=name):
                box = self.open_range_box()
                self.fill_address("rangeFromField", start, box, empty=number == 0)
                if end:
                    if not self.ui.get("rangeBox", "twoBoxes"):
                        self.ui.click("rangeAddEndButton", window=box)
                    self.fill_address("rangeToField", end, box)
                self.ui.click("rangeSearchApplyButton", window=box)
                if notice is None:
                    self.check_wildcard_search_runs_and_stops()
                else:
                    self.check_notice_holds_the_search(notice)

    def check_wildcard_search_runs_and_stops(self):
        self.assertTrue(wait_for(lambda: self.ui.get("mainPage", "isRangedSearch")), self.note())
        self.assertFalse(self.ui.visible("rangeNoticeWindow"))
        self.assertEqual(self.ui.get("mainPage", "strSearchIPStart"), "127.0.90.0")
        self.assertEqual(self.ui.get("mainPage", "strSearchIPEnd"), "127.0.90.255")
        self.assertEqual(self.ui.get("mainPage", "requiredTime"), 10)
        self.assertTrue(self.ui.wait_visible("rangeProgressBar"))
        # The range reaches the fleet by unicast; the user stops it before its ten seconds.
        self.assertTrue(wait_for(lambda: self.status_bar("count") == COUNT),
                        self.status_bar("count"))
        self.ui.click("rangeStopButton")
        self.assertTrue(wait_for(lambda: not self.ui.visible("rangeProgressBar")))
        self.wait_listed(COUNT)
        self.assertFalse(self.ui.get("mainPage", "isStopping"))

    def check_notice_holds_the_search(self, phrases):
        notice = "rangeNoticeWindow"
        self.assertTrue(self.ui.wait_visible(notice), self.note())
        text = self.ui.get(notice, "warningText")
        for phrase in phrases:
            self.assertIn(phrase, text)
        # A question offers to search; a refusal only closes.
        refused = "more than" in phrases[0]
        self.assertEqual(self.ui.get(notice, "showLeftButton"), not refused)
        # Nothing is searched while the notice is open, nor after it is closed with the right
        # button (Cancel or Close).
        self.assertFalse(self.ui.searching())
        self.assertFalse(self.ui.visible("rangeProgressBar"))
        self.ui.click(notice + ".rightButton", window=notice)
        self.assertTrue(self.ui.wait_hidden(notice))
        self.assertFalse(self.ui.searching())
        self.assertFalse(self.ui.get("mainPage", "isRangedSearch"))
        self.assertEqual(self.status_bar("count"), COUNT)
        box = self.window_of("rangeFromField0")
        if self.ui.visible(box):
            self.client.invoke(box, "close")

    # --- adding and importing ---

    def authorize_all_with_box(self):
        self.ui.click("authorizeButton")
        box = "authorizeBox"
        self.assertTrue(self.ui.wait_visible(box))
        self.ui.type_into("authorizeUserInput", "root", window=box)
        self.ui.type_into("authorizePasswordInput", PASSWORD, window=box)
        self.ui.click("authorizeApplyButton", window=box)

    def add_sim_device(self, ip):
        self.sim.request("POST", "/devices", {"ip": ip, "model": "QF8360", "password": PASSWORD})
        self.addCleanup(self.sim.request, "DELETE", "/devices/" + ip)

    def test_add_device_by_address(self):
        self.start_program()
        # The credentials of the last authorization are the ones an added device is asked with.
        self.authorize_all_with_box()
        self.add_sim_device(EXTRA_IP)
        cases = [
            # name, address, port, added, box closes
            ("new device", EXTRA_IP, "8080", 1, True),
            ("already listed", EXTRA_IP, "8080", 0, True),
            ("nothing answers", DEAD_IP, "8080", 0, False),
        ]
        box = "addDeviceBox"
        for name, ip, port, added, closes in cases:
            with self.subTest(case=name):
                before = self.status_bar("count")
                if not self.ui.visible(box):
                    self.ui.click("addDeviceButton")
                self.assertTrue(self.ui.wait_visible(box))
                self.ui.type_into("addDeviceIpInput", ip, window=box)
                self.ui.type_into("addDevicePortInput", port, window=box)
                self.ui.click("addDeviceApplyButton", window=box)
                if closes:
                    self.assertTrue(self.ui.wait_hidden(box), self.note())
                else:
                    self.assertFalse(wait_for(lambda: not self.ui.visible(box), 3.0))
                self.assertTrue(wait_for(lambda: self.status_bar("count") == before + added),
                                self.status_bar("count"))

    def test_import_device_list(self):
        self.start_program(scene=HOST_SCENE)
        self.authorize_all_with_box()
        self.add_sim_device(IMPORT_IP)
        lines = [
            "name,x,%s,8080,8443" % IMPORT_IP,          # new: added
            "name,x,%s,8080,8443" % IMPORT_IP,          # the same twice: once
            "name,x,%s,8080,8443" % FIRST_IP,           # listed already: stays once
            "name,x,%s,8080,8443" % DEAD_IP,            # nothing answers: reported
            "too,short,line",                            # fewer than four fields: skipped
            "name,x,not a host!,8080,8443",              # not an address: skipped
        ]
        folder = tempfile.mkdtemp(prefix="import-", dir=self.app.directory)
        path = os.path.join(folder, "devices.csv")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        # The file dialog is the desktop's own; the test goes past it to the page's import step.
        url = "file://" + pathname2url(path)
        self.assertTrue(self.client.invoke("windowHost", "importFromUrl", [url])["result"])
        self.assertTrue(wait_for(lambda: self.status_bar("count") == COUNT + 1),
                        self.status_bar("count"))
        # The address that did not answer is reported, and only that one.
        self.assertTrue(self.ui.wait_visible("importNoticeWindow"), self.note())
        notice = self.ui.get("importNoticeWindow", "warningText")
        self.assertIn(DEAD_IP, notice)
        for ip in [IMPORT_IP, FIRST_IP]:
            self.assertNotIn(ip, notice)

    # --- information window ---

    def test_info_entry_opens_the_information_window(self):
        self.start_program()
        self.ui.navigate("Info")
        self.assertTrue(self.ui.wait_visible("infoWindow"), self.note())
        self.assertEqual(len(self.ui.get("languageBox", "optList")), 13)
        self.assertEqual(self.ui.get("languageBox", "currentText"), "English")
        self.ui.click("languageBox", window="infoWindow")
        self.assertTrue(self.ui.wait_visible("languageBoxList"))
        # The window stands beside the pages: the main page stays the current one.
        self.assertEqual(self.ui.current_page(), "MainPage")
        self.assertTrue(self.client.invoke("infoWindow", "close")["result"])
        self.assertTrue(wait_for(lambda: not self.ui.exists("infoWindow")
                                 or not self.ui.visible("infoWindow")))
        self.assertTrue(wait_for(lambda: self.ui.get("naviView", "currentName") == "MainPage"))


if __name__ == "__main__":
    unittest.main()
