"""The maintenance area and the CGI command dialog of the real program against a simulated
fleet, driven as a user drives them: restart and factory restore from the area's tabs with
their questions, a restart that fails on a silent device and keeps the user on the page until
the leave question is answered, and a CGI query sent from Ctrl+F12.

Every test starts the program afresh beside one simulator for the class (cameras only, on
addresses of their own), which setUp puts back into a known state. Runs under Xvfb.
"""

import unittest

from fleet import address
from fleet_case import FleetProgramCase
from main_window import CONTROL, wait_for

FIRST_IP = "127.0.140.10"
COUNT = 3
KEY_F12 = 0x0100003B
# Page statuses of the page controllers.
FINISHED = 4
NOTHING = -1


class MaintenancePagesTest(FleetProgramCase):
    FIRST_IP = FIRST_IP
    COUNT = COUNT

    def setUp(self):
        self.reset_fleet()
        self.start_program({"searchTimeMs": "1500", "authorizeTimeoutMs": "5000",
                            "restartTimeoutMs": "3000", "verifyRestartSleepMs": "300",
                            "verifyRestartTimeoutMS": "1500", "verifyRestartRetryTimes": "3"})
        self.authorize_all()
        self.select_all_listed()

    def open_tab(self, tab):
        self.ui.navigate("Maintenance")
        self.wait_page("Maintenance")
        self.ui.click("maintenanceMode_" + tab)
        self.assertTrue(wait_for(lambda: self.ui.get("pageSwitcher", "shownPage") == tab,
                                 5.0), self.note())

    def start_operation(self, page, button, confirm):
        self.ui.click(button + ".itemButton")
        self.assertTrue(self.ui.wait_visible(confirm), self.note())
        self.ui.click("leftButton", window=confirm)
        self.assertTrue(self.ui.wait_hidden(confirm))

    def wait_finished(self, page, timeout=40.0):
        self.assertTrue(wait_for(lambda: self.ui.get(page, "pageStatus") == FINISHED, timeout),
                        self.note())
        return self.ui.get(page, "errorCount")

    def setparam_bodies(self, ip):
        return [r.get("body", "") for r in self.sim.request("GET", "/devices/%s/received" % ip)
                if r.get("path") == "/cgi-bin/admin/setparam.cgi"]

    # --- restart ---

    def test_restart_reaches_every_device_and_leaves_freely(self):
        self.open_tab("Restart")
        self.start_operation("restartPage", "restartDetailBtn", "confirmRestartWindow")
        self.assertEqual(self.wait_finished("restartPage"), 0)
        self.assertEqual(self.ui.get("restartDetailBtn", "displayState"), "success")
        for ip in self.sim.addresses:
            self.assertIn("system_reset=1", self.setparam_bodies(ip))
            self.assertGreaterEqual(self.sim.device(ip)["restarts"], 1, ip)
        # A run without failures holds nobody back.
        self.ui.navigate("MainPage")
        self.wait_page("MainPage")
        self.assertFalse(self.ui.visible("leaveRestartWindow"))

    def test_failed_restart_keeps_the_user_until_abort(self):
        silent = address(FIRST_IP, 1)
        self.sim.change(silent, fault={"kind": "silent"})
        self.open_tab("Restart")
        self.start_operation("restartPage", "restartDetailBtn", "confirmRestartWindow")
        self.assertEqual(self.wait_finished("restartPage"), 1)
        self.assertTrue(self.ui.wait_visible("restartPage.operationPanel"), self.note())
        self.assertEqual(self.ui.get("restartPage", "pageState"), "Failed")
        # Cancel keeps the page; Abort lets the navigation go on.
        self.ui.navigate("MainPage")
        self.assertTrue(self.ui.wait_visible("leaveRestartWindow"), self.note())
        self.assertEqual(self.ui.get("leaveRestartWindow", "warningText"),
                         "Some devices failed to restart.\nAre you sure you want to abort?")
        self.ui.click("rightButton", window="leaveRestartWindow")
        self.assertTrue(self.ui.wait_hidden("leaveRestartWindow"))
        self.assertEqual(self.ui.current_page(), "Maintenance")
        self.ui.navigate("MainPage")
        self.assertTrue(self.ui.wait_visible("leaveRestartWindow"), self.note())
        self.ui.click("leftButton", window="leaveRestartWindow")
        self.wait_page("MainPage")

    # --- restore ---

    def test_restore_keeps_the_checked_groups(self):
        self.open_tab("Restore")
        self.ui.click("networkCheckBox")
        self.ui.click("customLanguageCheckBox")
        self.start_operation("restorePage", "restoreDetailBtn", "confirmRestoreWindow")
        self.assertEqual(self.wait_finished("restorePage"), 0, self.note())
        for ip in self.sim.addresses:
            self.assertIn("system_restoreexceptnet=1&system_restoreexceptlang=1",
                          self.setparam_bodies(ip), ip)

    # --- CGI command dialog ---

    def test_cgi_dialog_sends_the_query_to_the_selection(self):
        self.ui.key(KEY_F12, CONTROL)
        window = "sendCgiDialogWindow"
        self.assertTrue(self.ui.wait_visible(window), self.note())
        self.ui.click("btnItemDetail.itemButton", window=window)
        for ip in self.sim.addresses:
            self.assertTrue(wait_for(lambda: "/cgi-bin/sysinfo.cgi"
                                     in self.sim.received_paths(ip)), ip)
        self.assertTrue(wait_for(lambda: self.ui.get("btnItemDetail", "displayState")
                                 == "success"), self.note())
        self.assertFalse(self.ui.visible("cgiFailedBar"))
        # Closing unloads the dialog.
        self.assertTrue(self.client.invoke(window, "close").get("result"))
        self.assertTrue(wait_for(lambda: not self.ui.exists(window)), self.note())


if __name__ == "__main__":
    unittest.main()
