"""Drives the program's real main window through the remote-control server, as a user would:
clicks on named items, keys typed one by one into the focused field.

Shared by the end-to-end tests, the screenshot tool and the window benchmarks. Every pop-up is a
top-level window of its own: mouse and key input for its items goes to that window (winobjname),
while object paths are searched from the main window, below which the pop-ups sit.
"""

import time

MAIN = "mainWindow"

SHIFT = 0x02000000
CONTROL = 0x04000000

KEY_TAB = 0x01000001
KEY_BACKSPACE = 0x01000003
KEY_RETURN = 0x01000004
KEY_DELETE = 0x01000007
KEY_HOME = 0x01000010
KEY_END = 0x01000011
KEY_LEFT = 0x01000012
KEY_UP = 0x01000013
KEY_RIGHT = 0x01000014
KEY_DOWN = 0x01000015
KEY_A = 0x41

NAVI_ENTRIES = ["MainPage", "BatchSetup", "AutoAssign", "Maintenance", "ZAPK", "Export", "Info"]
FUNCTION_ENTRIES = ["BatchSetup", "AutoAssign", "Maintenance", "ZAPK", "Export"]


def key_code(char):
    """Qt's key code for a printable ASCII character. The server sends the character Qt Test
    derives from the code, which is lower case for letters: capitals cannot be typed."""
    if char.isupper():
        raise ValueError("capital letters cannot be typed through the remote control: %r" % char)
    if not (" " <= char <= "~"):
        raise ValueError("only printable ASCII can be typed: %r" % char)
    return ord(char.upper())


def wait_for(predicate, timeout=20.0, interval=0.1):
    """Polls predicate until it gives a true value or the time is up; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class MainWindow:
    """The main window and its pop-ups, seen through one RemoteClient."""

    def __init__(self, client):
        self.client = client

    # --- reading ---

    def get(self, objname, prop, default=None, **target):
        """A property's value, or default when the object or property cannot be read."""
        reply = self.client.getpro(objname, prop, **target)
        return reply.get("value") if reply.get("result") else default

    def exists(self, objname):
        return self.client.getpro(objname, "objectName").get("result", False)

    def visible(self, objname):
        return self.get(objname, "visible") is True

    def enabled(self, objname):
        return self.get(objname, "enabled") is True

    def current_page(self):
        return self.get(MAIN, "currentPageName")

    def entry_enabled(self, name):
        return self.enabled("navi_" + name)

    def enabled_entries(self):
        return [name for name in NAVI_ENTRIES if self.entry_enabled(name)]

    def searching(self):
        return self.get("mainPage", "searching") is True

    def rows(self, limit=64):
        """The indexes of the table rows that exist (the view creates the rows it shows)."""
        found = []
        for index in range(limit):
            if not self.exists("deviceTable.row_%d" % index):
                break
            found.append(index)
        return found

    def row_count(self):
        count = self.get("deviceTable", "count")
        if count is None:
            count = self.get("deviceTable", "rowCount")
        return count if count is not None else len(self.rows())

    def wait_search_done(self, timeout=30.0):
        """Waits until the page has left its searching state."""
        return wait_for(lambda: self.get("mainPage", "searching") is False, timeout)

    def wait_rows(self, count, timeout=30.0):
        return wait_for(lambda: self.row_count() == count, timeout)

    # --- acting ---

    def click(self, objname, window=MAIN, **params):
        reply = self.client.click(window, objname, **params)
        if not reply.get("result"):
            raise AssertionError("cannot click %s in %s: %r" % (objname, window, reply))
        return reply

    def key(self, key, modifiers=0, window=MAIN):
        reply = self.client.keyclick(window, key, modifiers)
        if not reply.get("result"):
            raise AssertionError("cannot send key %#x to %s: %r" % (key, window, reply))

    def type_text(self, text, window=MAIN):
        for char in text:
            self.key(key_code(char), window=window)

    def clear_field(self, window=MAIN):
        """Empties the focused field: select all, then delete."""
        self.key(KEY_A, CONTROL, window=window)
        self.key(KEY_BACKSPACE, window=window)

    def type_into(self, objname, text, window=MAIN, clear=True):
        """Clicks a field to focus it and types text into it, as a user does."""
        self.click(objname, window=window)
        # Only a field with text is emptied: in some fields Backspace in an empty field moves
        # the focus back to the field before.
        if clear and self.get(objname, "text") != "":
            self.clear_field(window=window)
        self.type_text(text, window=window)

    def navigate(self, name):
        self.click("navi_" + name)

    def select_all(self):
        """Ctrl+A on the device table."""
        self.click("deviceTable.row_0")
        self.key(KEY_A, CONTROL)

    def wait_visible(self, objname, timeout=20.0):
        return wait_for(lambda: self.visible(objname), timeout)

    def wait_hidden(self, objname, timeout=20.0):
        return wait_for(lambda: not self.visible(objname), timeout)
