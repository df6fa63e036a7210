"""End-to-end tests of the remote-control server: the real ardmere program, a real socket.

The program is started once for the class with a scene of its own (scenes/RemoteScene.qml);
each test opens its own connection and resets what it touches.
"""

import json
import os
import socket
import unittest

from ardmere_remote import ArdmereInstance, RemoteClient

HERE = os.path.dirname(os.path.abspath(__file__))
SCENE = os.path.join(HERE, "scenes", "RemoteScene.qml")
WINDOW = "sceneWindow"

SHIFT = 0x02000000
CONTROL = 0x04000000
ALT = 0x08000000
KEY_A = 0x41
KEY_BACKSPACE = 0x01000003


class RemoteControlTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.app = ArdmereInstance(scene=SCENE, root_name=WINDOW)
        cls.app.start()

    @classmethod
    def tearDownClass(cls):
        cls.app.stop()
        # The program shut down through its own window: a crash in tear-down shows here.
        if cls.app.process.returncode != 0:
            raise AssertionError("ardmere exited with %s:\n%s" % (cls.app.process.returncode,
                                                                  cls.app.output()))

    def setUp(self):
        self.client = self.app.client()
        self.addCleanup(self.client.close)
        self.assertTrue(self.client.invoke(WINDOW, "resetPad")["result"])
        self.assertTrue(self.client.setpro(WINDOW, "log", "")["result"])

    def pad(self, prop):
        return self.client.value("pad", prop)

    # --- framing ---

    def test_two_messages_in_one_write_give_two_replies_in_order(self):
        first = {"getpro": {"objname": "rep.cell1", "property": "number"}}
        second = {"getpro": {"objname": "grid.tile2", "property": "caption"}}
        for separator in ["", " ", "\r\n\t "]:
            with self.subTest(separator=repr(separator)):
                self.client.send_raw(json.dumps(first) + separator + json.dumps(second))
                self.assertEqual(self.client.read_reply(), {"result": True, "value": 10})
                self.assertEqual(self.client.read_reply(), {"result": True, "value": "tile 2"})

    def test_message_split_across_two_writes_gives_two_failed_replies(self):
        text = json.dumps({"invoke": {"objname": WINDOW, "method": "mark", "mthargs": ["x"]}})
        half = len(text) // 2
        self.client.send_raw(text[:half])
        # Reading the first reply before sending the rest makes the halves separate batches.
        self.assertEqual(self.client.read_reply(), {"result": False})
        self.client.send_raw(text[half:])
        self.assertEqual(self.client.read_reply(), {"result": False})
        self.assertEqual(self.client.value(WINDOW, "log"), "")

    def test_reply_is_indented_json_with_result_first(self):
        self.client.send_raw(json.dumps({"getpro": {"objname": "list.entry3.label",
                                                    "property": "text"}}))
        raw = self.client.read_raw_reply()
        self.assertEqual(raw, b'{\n    "result": true,\n    "value": "entry 3"\n}\n')

    def test_white_space_inside_strings_survives(self):
        cases = ["a  b", "tab\there", " leading and trailing ", 'quote "with space" inside',
                 "line\nbreak", "Caf\u00e9 \u6771\u4eac"]
        for value in cases:
            with self.subTest(value=value):
                # Written with spaces around the members, which must go, while those inside the
                # string stay.
                self.client.send_raw('{ "setpro" : { "objname" : "%s", "property" : "note", '
                                     '"propval" : %s } }' % (WINDOW, json.dumps(value)))
                self.assertEqual(self.client.read_reply(), {"result": True})
                self.assertEqual(self.client.value(WINDOW, "note"), value)

    def test_text_that_is_not_a_command_answers_false(self):
        cases = ["[1, 2]", "42", '{"nothing": {}}', '{"getmdlitemval": {}}', "not json"]
        for text in cases:
            with self.subTest(text=text):
                self.client.send_raw(text)
                self.assertEqual(self.client.read_reply(), {"result": False})
        # The connection still works.
        self.assertEqual(self.client.getpro("rep.cell2", "number"), {"result": True, "value": 20})

    # --- queue ---

    def test_delayed_message_holds_the_ones_behind_it(self):
        delayed = {"invoke": {"objname": WINDOW, "method": "mark", "mthargs": ["first"]},
                   "delay": 300}
        plain = {"invoke": {"objname": WINDOW, "method": "mark", "mthargs": ["second"]}}
        self.client.send_raw(json.dumps(delayed) + json.dumps(plain))
        self.assertEqual(self.client.read_reply(), {"result": True})
        self.assertEqual(self.client.read_reply(), {"result": True})
        self.assertEqual(self.client.value(WINDOW, "log"), "first;second;")

    def test_delay_holds_messages_of_other_clients_too(self):
        with self.app.client() as other:
            # One write: once the first reply is here, the delayed message is next in the queue.
            self.client.send_raw(json.dumps(
                {"invoke": {"objname": WINDOW, "method": "mark", "mthargs": ["start"]}}) +
                json.dumps({"invoke": {"objname": WINDOW, "method": "mark", "mthargs": ["slow"]},
                            "wait": 300}))
            self.assertEqual(self.client.read_reply(), {"result": True})
            self.assertEqual(other.invoke(WINDOW, "mark", ["other"]), {"result": True})
            self.assertEqual(self.client.read_reply(), {"result": True})
        self.assertEqual(self.client.value(WINDOW, "log"), "start;slow;other;")

    def test_client_that_disconnects_with_messages_queued_breaks_nothing(self):
        gone = RemoteClient(self.app.port)
        messages = [{"invoke": {"objname": WINDOW, "method": "mark", "mthargs": ["late"]},
                     "delay": 500}]
        messages += [{"invoke": {"objname": WINDOW, "method": "mark", "mthargs": [str(i)]}}
                     for i in range(5)]
        gone.send_raw("".join(json.dumps(m) for m in messages))
        gone.sock.shutdown(socket.SHUT_RDWR)
        gone.close()
        # This client's message waits behind the delayed one, which finds its client gone.
        self.assertEqual(self.client.getpro(WINDOW, "log"), {"result": True, "value": ""})
        self.assertEqual(self.client.click(WINDOW, "pad"), {"result": True})
        self.assertEqual(self.pad("clicks"), 1)

    # --- decoding ---

    def test_command_that_sorts_last_wins(self):
        message = {"click": {"winobjname": WINDOW, "objname": "pad"},
                   "hover": {"winobjname": WINDOW, "objname": "pad", "x": 20, "y": 30}}
        self.assertEqual(self.client.send(message), {"result": True})
        self.assertEqual(self.pad("clicks"), 0)
        self.assertEqual((self.pad("moveX"), self.pad("moveY")), (20, 30))

    # --- properties and methods ---

    def test_getpro_of_missing_property_answers_false_without_value(self):
        self.assertEqual(self.client.getpro("pad", "noSuchProperty"), {"result": False})
        self.assertEqual(self.client.getpro("noSuchObject", "clicks"), {"result": False})

    def test_setpro_and_getpro(self):
        cases = [("note", "hello", "hello"), ("note", 12, "12"), ("clicks", "7", 7)]
        for prop, written, read in cases:
            with self.subTest(prop=prop, written=written):
                target = "pad" if prop == "clicks" else WINDOW
                self.assertEqual(self.client.setpro(target, prop, written), {"result": True})
                self.assertEqual(self.client.value(target, prop), read)
        self.assertEqual(self.client.setpro("pad", "noSuchProperty", 1), {"result": False})

    def test_invokeret_of_function_returning_object_answers_json(self):
        self.assertEqual(self.client.invokeret(WINDOW, "makeRecord"),
                         {"result": True,
                          "value": {"name": "record", "numbers": [1, 2, 3],
                                    "nested": {"ok": True}}})
        self.assertEqual(self.client.invokeret(WINDOW, "mark", ["t"]),
                         {"result": True, "value": "t;"})
        self.assertEqual(self.client.invokeret(WINDOW, "noSuchMethod"), {"result": False})

    def test_method_aware_target(self):
        # "method" turns the return value of a call into the target.
        reply = self.client.getpro(WINDOW, "width", method="padItem")
        self.assertEqual(reply, {"result": True, "value": 200})
        self.assertEqual(self.client.click(WINDOW, WINDOW, method="padItem"), {"result": True})
        self.assertEqual(self.pad("clicks"), 1)
        self.assertEqual(self.client.getpro(WINDOW, "width", method="makeRecord"),
                         {"result": False})

    def test_object_paths(self):
        cases = [("rep.cell1", "number", 10),
                 ("row.cell2", "number", 20),
                 ("list.entry2.label", "text", "entry 2"),
                 ("list.label", "text", "entry 0"),
                 ("grid.tile4", "caption", "tile 4"),
                 ("sceneWindow.pad", "width", 200)]
        for path, prop, expected in cases:
            with self.subTest(path=path):
                self.assertEqual(self.client.getpro(path, prop),
                                 {"result": True, "value": expected})
        # parobjname and objname join into one path.
        self.assertEqual(self.client.getpro("label", "text", parobjname="list.entry1"),
                         {"result": True, "value": "entry 1"})

    def test_getwinname(self):
        self.assertEqual(self.client.getwinname("rep.cell0"),
                         {"result": True, "value": WINDOW})
        self.assertEqual(self.client.getwinname("noSuchObject"), {"result": False})

    # --- mouse ---

    def test_click_without_coordinates_clicks_the_centre(self):
        self.assertEqual(self.client.click(WINDOW, "pad"), {"result": True})
        self.assertEqual(self.pad("clicks"), 1)
        self.assertEqual((self.pad("lastX"), self.pad("lastY")), (100, 50))

    def test_click_buttons_modifiers_and_points(self):
        cases = [  # params, result, button, modifiers, point
            ({}, True, 1, 0, (100, 50)),
            ({"x": 10, "y": 20}, True, 1, 0, (10, 20)),
            ({"x": 10}, True, 1, 0, (100, 50)),
            ({"clickbtn": "right"}, True, 2, 0, (100, 50)),
            ({"clickbtn": "MID"}, True, 4, 0, (100, 50)),
            ({"clickbtn": "left", "keyboardModifier": SHIFT}, True, 1, SHIFT, (100, 50)),
            ({"keyboardModifier": CONTROL | ALT}, True, 1, CONTROL | ALT, (100, 50)),
            ({"keyboardModifier": "%d" % SHIFT}, True, 1, SHIFT, (100, 50)),
            # Bits outside the modifier mask: refused before any input is sent.
            ({"keyboardModifier": 1}, False, None, None, None),
            ({"keyboardModifier": SHIFT | 0x10}, False, None, None, None),
        ]
        for params, result, button, modifiers, point in cases:
            with self.subTest(params=params):
                self.client.invoke(WINDOW, "resetPad")
                self.assertEqual(self.client.click(WINDOW, "pad", **params), {"result": result})
                if not result:
                    self.assertEqual(self.pad("clicks"), 0)
                    continue
                self.assertEqual(self.pad("clicks"), 1)
                self.assertEqual(self.pad("lastButton"), button)
                self.assertEqual(self.pad("lastModifiers"), modifiers)
                self.assertEqual((self.pad("lastX"), self.pad("lastY")), point)

    def test_dbclick(self):
        self.assertEqual(self.client.mouse("dbclick", WINDOW, "pad"), {"result": True})
        self.assertEqual(self.pad("doubleClicks"), 1)
        self.assertEqual(self.client.mouse("dbclick", WINDOW, "pad", keyboardModifier=2),
                         {"result": False})
        self.assertEqual(self.pad("doubleClicks"), 1)

    def test_mouse_commands_need_window_and_item(self):
        cases = [("click", {"winobjname": "noSuchWindow", "objname": "pad"}),
                 ("click", {"winobjname": "", "objname": "pad"}),
                 ("click", {"winobjname": WINDOW, "objname": "noSuchItem"}),
                 # A timer is an object but not an item.
                 ("click", {"winobjname": WINDOW, "objname": "pingTimer"}),
                 # A script object is no item either.
                 ("hover", {"winobjname": WINDOW, "objname": WINDOW, "method": "makeRecord"}),
                 ("press", {"winobjname": "noSuchWindow", "objname": "pad"}),
                 ("drag", {"winobjname": "noSuchWindow", "objname": "pad"}),
                 ("drop", {"winobjname": WINDOW, "objname": "noSuchItem"})]
        for command, params in cases:
            with self.subTest(command=command, params=params):
                self.assertEqual(self.client.command(command, params), {"result": False})
        self.assertEqual(self.pad("clicks"), 0)
        self.assertEqual(self.pad("presses"), 0)

    def test_press_drag_and_drop(self):
        self.assertEqual(self.client.mouse("drag", WINDOW, "pad", from_x=10, from_y=10,
                                           to_x=60, to_y=40), {"result": True})
        self.assertTrue(self.pad("dragging"))
        self.assertEqual((self.pad("moveX"), self.pad("moveY")), (60, 40))
        self.assertEqual(self.client.mouse("drop", WINDOW, "pad", x=60, y=40), {"result": True})
        self.assertFalse(self.pad("dragging"))
        self.assertEqual(self.pad("releases"), 1)
        # Without the four members the drag starts at the centre and ends at (x, y).
        self.assertEqual(self.client.mouse("drag", WINDOW, "pad", x=150, y=70), {"result": True})
        self.assertEqual((self.pad("moveX"), self.pad("moveY")), (150, 70))
        self.assertEqual(self.client.mouse("drop", WINDOW, "pad"), {"result": True})
        self.assertEqual(self.pad("presses"), 2)
        self.assertEqual(self.pad("releases"), 2)

    # --- keys ---

    def test_keyclick(self):
        cases = [  # key, modifiers, result, text after
            (KEY_A, 0, True, "a"),
            (0x31, 0, True, "1"),
            (KEY_BACKSPACE, 0, True, ""),
            # No character in Qt Test's table: sent without text, the program lives on.
            (0x61, 0, True, ""),
            (0, 0, True, ""),
            (0x01000100, 0, True, ""),
            # Not a key code at all.
            (-1, 0, False, ""),
            (0x7FFFFFFF, 0, False, ""),
        ]
        for key, modifiers, result, text in cases:
            with self.subTest(key=hex(key)):
                self.client.invoke(WINDOW, "resetPad")
                self.assertEqual(self.client.keyclick(WINDOW, key, modifiers), {"result": result})
                self.assertEqual(self.client.value("input", "text"), text)
        self.assertEqual(self.client.keyclick("noSuchWindow", KEY_A), {"result": False})

    # --- signals ---

    def test_waitsignal_misses_a_signal_emitted_before(self):
        self.assertTrue(self.client.invoke(WINDOW, "emitPing")["result"])
        self.assertEqual(self.client.waitsignal(WINDOW, "ping()", timeout=200),
                         {"result": False})
        self.assertTrue(self.client.invoke(WINDOW, "pingAfter", [50])["result"])
        self.assertEqual(self.client.waitsignal(WINDOW, "ping()", timeout=10000),
                         {"result": True})

    def test_waitsignal_without_timeout_waits_zero(self):
        self.assertTrue(self.client.invoke(WINDOW, "pingAfter", [300])["result"])
        self.assertEqual(self.client.waitsignal(WINDOW, "ping()"), {"result": False})
        # The signal was still to come.
        self.assertEqual(self.client.waitsignal(WINDOW, "ping()", timeout=10000),
                         {"result": True})

    def test_waitsignal_failures(self):
        cases = [{"objname": WINDOW, "signal": "ping"},
                 {"objname": WINDOW, "signal": "noSuchSignal()"},
                 {"objname": "noSuchObject", "signal": "ping()"},
                 # A negative time-out must not wait for ever.
                 {"objname": WINDOW, "signal": "ping()", "timeout": -1}]
        for params in cases:
            with self.subTest(params=params):
                self.assertEqual(self.client.command("waitsignal", params), {"result": False})

    def test_waitsignal_on_context_property(self):
        # Not in the scene's tree: found among the root context's properties.
        self.assertEqual(self.client.waitsignal("systemCtrl", "destroyed()", timeout=0),
                         {"result": False})
        self.assertEqual(self.client.waitsignal("systemCtrl", "noSuchSignal()", timeout=0),
                         {"result": False})

    # --- plug-in commands without a plug-in ---

    def test_plugin_commands_without_plugin_answer_true(self):
        cases = [("emitpluginsignal", {"pluginName": "JoystickPlugin", "signalName": "x"}),
                 ("movejoystick", {"pos_x": 1, "pos_y": 2, "pos_z": 3}),
                 ("joystickbuttonevent", {"model_name": "m", "key_id": 1}),
                 ("addjoystick", {"joystick_list": ["a"]})]
        for command, params in cases:
            with self.subTest(command=command):
                self.assertEqual(self.client.command(command, params), {"result": True})


if __name__ == "__main__":
    unittest.main()
