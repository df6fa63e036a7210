"""The main window against a simulated fleet: search, log in, give factory-new devices their
first password, all through the remote-control server as a user would click it."""

import os
import socket
import subprocess
import time
import unittest

from ardmere_remote import ArdmereInstance

FIRST_IP = "127.0.60.10"
COUNT = 6
FACTORY_NEW = 2
PASSWORD = "Ardmere1"


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(predicate, timeout=20.0, interval=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


class MainPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.discovery_port = free_udp_port()
        cls.sim = subprocess.Popen(
            [os.environ["ARDMERE_DEVICESIM"], "--count", str(COUNT), "--first-ip", FIRST_IP,
             "--http-port", "8080", "--https-port", "8443", "--password", PASSWORD,
             "--factory-new", str(FACTORY_NEW), "--discovery-port", str(cls.discovery_port)],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        for line in cls.sim.stdout:
            if line.startswith("ready"):
                break
        else:
            raise RuntimeError("the device simulator did not start")

    @classmethod
    def tearDownClass(cls):
        cls.sim.terminate()
        cls.sim.wait(timeout=10)

    def statuses(self, client):
        result = []
        for row in range(COUNT):
            reply = client.getpro("deviceTableList.deviceRow%d.statusCell" % row, "status")
            result.append(reply.get("value"))
        return result

    def test_search_log_in_and_first_password(self):
        settings = {"drmPort": str(self.discovery_port), "searchTimeMs": "1500",
                    "authorizeTimeoutMs": "5000"}
        with ArdmereInstance(settings=settings, root_name="mainWindow") as app:
            with app.client() as client:
                self.assertTrue(client.click("mainWindow", "searchButton")["result"])
                label = wait_for(lambda: client.value("deviceCountLabel", "text")
                                 .startswith("%d devices" % COUNT))
                self.assertTrue(label, client.value("deviceCountLabel", "text"))

                client.setpro("passwordField", "text", PASSWORD)
                self.assertTrue(client.click("mainWindow", "authorizeButton")["result"])
                self.assertTrue(wait_for(lambda: client.value("firstPasswordDialog", "opened")),
                                app.output())
                self.assertEqual(sorted(self.statuses(client)),
                                 [104] * (COUNT - FACTORY_NEW) + [108] * FACTORY_NEW)

                # A password the devices' policy refuses keeps OK disabled.
                client.setpro("firstPasswordField", "text", "short")
                client.setpro("firstPasswordConfirmField", "text", "short")
                self.assertFalse(client.value("firstPasswordDialog", "verdict")["valid"])

                client.setpro("firstPasswordField", "text", "Corvane2026&x")
                client.setpro("firstPasswordConfirmField", "text", "Corvane2026&x")
                self.assertTrue(client.value("firstPasswordDialog", "verdict")["valid"])
                self.assertTrue(client.invoke("firstPasswordDialog", "accept")["result"])
                self.assertTrue(wait_for(lambda: self.statuses(client) == [104] * COUNT),
                                self.statuses(client))


if __name__ == "__main__":
    unittest.main()
