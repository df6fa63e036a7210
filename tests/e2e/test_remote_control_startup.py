"""The remote-control server in the program as shipped: started after the built-in main window
loads when the settings switch it on, and torn down cleanly when the window closes."""

import unittest

from ardmere_remote import ArdmereInstance

MAIN_WINDOW = "mainWindow"


class RemoteControlStartupTest(unittest.TestCase):
    def test_server_reaches_the_built_in_main_window_and_shuts_down_cleanly(self):
        cases = [{"uiRemoteControl": "true"},
                 # Keys are matched without regard to case, values are read as booleans.
                 {"UIREMOTECONTROL": "1"}]
        for settings in cases:
            with self.subTest(settings=settings):
                app = ArdmereInstance(settings=settings, root_name=MAIN_WINDOW)
                if "uiRemoteControl" not in settings:
                    del app.settings["uiRemoteControl"]
                app.start()
                try:
                    with app.client() as client:
                        self.assertEqual(client.getpro(MAIN_WINDOW, "visible"),
                                         {"result": True, "value": True})
                        self.assertEqual(client.getpro(MAIN_WINDOW, "objectName"),
                                         {"result": True, "value": MAIN_WINDOW})
                finally:
                    app.stop()
                # Closing the window ends the program in order; the server goes first.
                self.assertEqual(app.process.returncode, 0, app.output())


if __name__ == "__main__":
    unittest.main()
