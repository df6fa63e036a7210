#!/usr/bin/env python3
"""Screenshots of the main window, its boxes and dialogs and every navigation page, at the two
default window sizes, beside a simulated fleet.

    tests/e2e/screenshots.py [--out DIR] [--bin build/ardmere]
                             [--devicesim build/tools/devicesim/ardmere-devicesim]

Each screen size gets an X server of its own (1280 x 800 gives the 1112 x 768 window, 1024 x 700
the 800 x 600 one) and a fresh program; PNGs land in DIR/<width>x<height>/. A step that cannot be
taken (an item missing, a dialog that does not open) is reported and skipped: the tool fails only
when the program fails to start or exits on its own.
"""

import argparse
import os
import sys
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from ardmere_remote import ArdmereInstance  # noqa: E402
from fleet import DeviceSimulator, address  # noqa: E402
from main_window import CONTROL, FUNCTION_ENTRIES, KEY_A, MAIN, MainWindow, wait_for  # noqa: E402
from xdisplay import VirtualDisplay  # noqa: E402

SCREENS = [((1280, 800), (1112, 768)), ((1024, 700), (800, 600))]
FIRST_IP = "127.0.91.10"
COUNT = 12
RECORDERS = 3
FACTORY_NEW = [address(FIRST_IP, 2), address(FIRST_IP, 7)]
PASSWORD = "ardmere1"
NEW_PASSWORD = "newpass99"


class ProgramFailed(Exception):
    pass


class Session:
    """One program on one screen; shot() saves the screen under a name."""

    def __init__(self, display, app, folder):
        self.display = display
        self.app = app
        self.folder = folder
        self.client = app.client()
        self.ui = MainWindow(self.client)
        self.problems = []
        self.saved = []

    def alive(self):
        if self.app.process.poll() is not None:
            raise ProgramFailed("ardmere exited with %s" % self.app.process.returncode)

    def shot(self, name):
        self.alive()
        path = os.path.join(self.folder, name + ".png")
        self.display.screenshot(path)
        self.saved.append(path)

    def step(self, name, action):
        """Runs one step; a failing step is noted and the run goes on."""
        try:
            action()
        except ProgramFailed:
            raise
        except Exception as error:  # noqa: BLE001 - any failure of a step is only reported
            self.alive()
            self.problems.append("%s: %s" % (name, error))
            traceback.print_exc()

    def close_window(self, objname):
        self.client.invoke(objname, "close")
        wait_for(lambda: not self.ui.visible(objname), 5.0)

    def settle(self):
        # Give tool tips, animations and the window system a moment before the picture.
        wait_for(lambda: False, 0.6)


def require(condition, what):
    if not condition:
        raise AssertionError(what)


def run_screen(args, screen, window_size, sim):
    folder = os.path.join(args.out, "%dx%d" % window_size)
    os.makedirs(folder, exist_ok=True)
    sim.reset(first_use=FACTORY_NEW)
    settings = {"drmPort": str(sim.discovery_port), "searchTimeMs": "1500",
                "authorizeTimeoutMs": "5000", "ImportDeviceTimeout": "5000"}
    with VirtualDisplay(*screen) as display:
        app = ArdmereInstance(binary=args.bin, settings=settings, root_name=MAIN,
                              environment=display.environment())
        app.start()
        s = Session(display, app, folder)
        ui = s.ui
        try:
            size = (ui.get(MAIN, "width"), ui.get(MAIN, "height"))
            if size != window_size:
                s.problems.append("window is %r on a %r screen, expected %r"
                                  % (size, screen, window_size))

            def listed():
                require(wait_for(lambda: ui.get("mainPageStatusBar", "count") == COUNT
                                 and not ui.searching(), 30), "fleet not listed")
                s.settle()
                s.shot("01-main-devices")
            s.step("devices", listed)

            def box(button, window, name):
                def action():
                    ui.click(button)
                    require(ui.wait_visible(window, 5), window + " did not open")
                    s.settle()
                    s.shot(name)
                    s.close_window(window)
                return action
            s.step("authorize box", box("authorizeButton", "authorizeBox", "02-authorize-box"))
            s.step("add box", box("addDeviceButton", "addDeviceBox", "03-add-box"))

            def range_box():
                ui.click("rangeSearchButton")
                require(wait_for(lambda: ui.visible("rangeFromField0"), 5), "range box closed")
                s.settle()
                s.shot("04-range-box")
                window = s.client.getwinname("rangeFromField0").get("value")
                ui.click("rangeAddEndButton", window=window)
                ui.type_into("rangeFromField0", "127.0.0.0", window=window)
                ui.type_into("rangeToField0", "127.15.255.255", window=window)
                s.shot("05-range-box-two-addresses")
                ui.click("rangeSearchApplyButton", window=window)
                require(ui.wait_visible("rangeNoticeWindow", 5), "no range notice")
                s.settle()
                s.shot("06-range-notice")
                s.close_window("rangeNoticeWindow")
                if ui.visible(window):
                    s.close_window(window)
            s.step("range box", range_box)

            def info():
                ui.navigate("Info")
                require(ui.wait_visible("infoWindow", 5), "no info window")
                s.settle()
                s.shot("07-info-window")
                s.close_window("infoWindow")
            s.step("info window", info)

            def selection():
                ui.click("deviceTable.row_0")
                ui.click("deviceTable.row_3", keyboardModifier=CONTROL)
                s.settle()
                s.shot("08-main-two-selected")
                ui.key(KEY_A, CONTROL)
                require(wait_for(lambda: ui.get("mainPageStatusBar", "numSelected")
                                 == COUNT - RECORDERS, 5),
                        "select all (recorders are selectable on their own tab only)")
                s.settle()
                s.shot("09-main-all-selected")
            s.step("selection", selection)

            def authorize_window():
                ui.navigate("BatchSetup")
                require(ui.wait_visible("authorizeWindow", 10), "no authorize window")
                s.settle()
                s.shot("10-authorize-window")
                ui.type_into("authorizeWindowUserInput", "root", window="authorizeWindow")
                ui.type_into("authorizeWindowPasswordInput", PASSWORD, window="authorizeWindow")
                ui.click("authorizeWindowApplyButton", window="authorizeWindow")
            s.step("authorize window", authorize_window)

            def first_password():
                window = "passwordSettingWindow"
                require(ui.wait_visible(window, 20), "no first-password window")
                s.settle()
                s.shot("11-first-password-window")
                ui.type_into("newPasswordInput", NEW_PASSWORD, window=window)
                ui.type_into("confirmPasswordInput", NEW_PASSWORD, window=window)
                s.settle()
                s.shot("12-first-password-filled")
                ui.click("applyAllButton", window=window)
                require(ui.wait_hidden(window, 10), "first-password window stayed")
            s.step("first password", first_password)

            for number, entry in enumerate(FUNCTION_ENTRIES, start=13):
                def page(entry=entry, number=number):
                    if ui.current_page() != entry:
                        ui.navigate(entry)
                    require(wait_for(lambda: ui.current_page() == entry, 30),
                            "page %s not shown (%s)" % (entry, ui.current_page()))
                    s.settle()
                    s.shot("%02d-page-%s" % (number, entry))
                s.step("page " + entry, page)
        finally:
            s.client.close()
            app.stop()
            output = app.output()
        if app.process.returncode not in (0, None):
            raise ProgramFailed("ardmere exited with %s:\n%s" % (app.process.returncode,
                                                               output[-4000:]))
        return s.saved, s.problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    build = os.path.normpath(os.path.join(HERE, "..", "..", "build"))
    parser.add_argument("--out", default=os.path.join(build, "screenshots"))
    parser.add_argument("--bin", default=os.environ.get("ARDMERE_BIN",
                                                        os.path.join(build, "ardmere")))
    parser.add_argument("--devicesim", default=os.environ.get(
        "ARDMERE_DEVICESIM", os.path.join(build, "tools", "devicesim", "ardmere-devicesim")))
    args = parser.parse_args()
    os.environ["PYXERA_LOOPBACK_ONLY"] = "1"

    failed = False
    with DeviceSimulator(FIRST_IP, COUNT, binary=args.devicesim, recorders=RECORDERS,
                         password=PASSWORD) as sim:
        for screen, window_size in SCREENS:
            try:
                saved, problems = run_screen(args, screen, window_size, sim)
            except ProgramFailed as error:
                print("FAILED on %dx%d: %s" % (screen + (error,)))
                failed = True
                continue
            print("%dx%d screen, %dx%d window: %d screenshots in %s"
                  % (screen + window_size + (len(saved), os.path.dirname(saved[0])
                                             if saved else args.out)))
            for problem in problems:
                print("  not taken: " + problem)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
