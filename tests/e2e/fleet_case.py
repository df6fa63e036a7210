"""A test case for the pages of the real program beside a simulated fleet: one simulator for the
class, and for every test a program started afresh (the simulator put back into a known state
first), its window found and its listed devices waited for.

Subclasses set the fleet in class attributes and call start_program() from setUp with the
settings their pages need.
"""

import unittest

from ardmere_remote import ArdmereInstance
from fleet import DeviceSimulator
from main_window import MAIN, MainWindow, wait_for

PASSWORD = "ardmere1"


class FleetProgramCase(unittest.TestCase):
    FIRST_IP = None
    COUNT = 0
    PASSWORD = PASSWORD
    # Further keyword arguments of DeviceSimulator (recorders, http_port, extra_args...).
    SIMULATOR = {}
    # The program to start: ArdmereInstance or a subclass of it.
    INSTANCE = ArdmereInstance
    # Output lines containing this text fail the test when the program stops (binding and
    # script errors of a page show only as warning lines); None checks nothing.
    WARNINGS_OF = None

    @classmethod
    def setUpClass(cls):
        cls.sim = DeviceSimulator(cls.FIRST_IP, cls.COUNT, password=cls.PASSWORD,
                                  **cls.SIMULATOR)
        cls.sim.start()

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()

    def reset_fleet(self):
        """Every device back online (one restarted by the previous test comes back first, so
        that nothing it still does can undo the reset), its state and its log of requests
        cleared."""
        for ip in self.sim.addresses:
            self.assertTrue(wait_for(lambda: self.sim.device(ip)["state"] == "online"), ip)
        self.sim.reset()
        for ip in self.sim.addresses:
            self.sim.clear_received(ip)

    def start_program(self, settings):
        settings = dict(settings, drmPort=str(self.sim.discovery_port))
        self.app = self.INSTANCE(settings=settings, root_name=MAIN)
        self.app.start()
        self.addCleanup(self.stop_program)
        self.client = self.app.client()
        self.addCleanup(self.client.close)
        self.ui = MainWindow(self.client)
        self.assertTrue(wait_for(lambda: self.ui.visible(MAIN)), self.app.output())
        self.assertTrue(self.ui.wait_rows(self.COUNT), self.note())

    def stop_program(self):
        self.app.stop()
        if self.WARNINGS_OF:
            warnings = [line for line in self.app.output().splitlines()
                        if self.WARNINGS_OF in line]
            self.assertEqual(warnings, [])
        if self.app.process.returncode != 0:
            self.fail("ardmere exited with %s:\n%s" % (self.app.process.returncode,
                                                        self.app.output()))

    def note(self):
        return self.app.output()[-4000:]

    def authorize_all(self):
        """Logs in to every listed device from the authorize box, as a user does, and waits
        until each device has been asked."""
        self.ui.click("authorizeButton")
        box = "authorizeBox"
        self.assertTrue(self.ui.wait_visible(box))
        self.ui.type_into("authorizeUserInput", "root", window=box)
        self.ui.type_into("authorizePasswordInput", self.PASSWORD, window=box)
        self.ui.click("authorizeApplyButton", window=box)
        for ip in self.sim.addresses:
            self.assertTrue(wait_for(lambda: "/cgi-bin/admin/lsctrl.cgi"
                                     in self.sim.received_paths(ip)), ip)

    def select_all_listed(self):
        self.ui.select_all()
        self.assertTrue(wait_for(lambda: self.ui.get("mainPage", "numSelected") == self.COUNT),
                        self.note())

    def wait_page(self, name):
        self.assertTrue(wait_for(lambda: self.ui.current_page() == name), self.note())
