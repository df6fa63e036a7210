"""Drives the real ardmere program through its remote-control server, for end-to-end tests.

RemoteClient speaks the protocol: it sends one JSON message and reads exactly one reply.
ArdmereInstance starts the program from a private copy in a temporary directory, with its own
settings.ini (the program reads the file beside its executable), and stops it again.
"""

import ctypes
import errno
import json
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time

DEFAULT_TIMEOUT = 20.0
# A reply may be held up by a GUI thread that waits on something; commands still answer.
REPLY_TIMEOUT = 90.0
PR_SET_PDEATHSIG = 1


def end_with_parent():
    """Runs in the child before exec: the program gets SIGTERM when the harness dies (a CTest
    time-out), so that no copy lingers and keeps the next run from starting."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def free_port():
    """A TCP port that is free on loopback right now."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class RemoteClient:
    """One connection to the remote-control server."""

    def __init__(self, port, host="127.0.0.1", timeout=REPLY_TIMEOUT):
        self.sock = socket.create_connection((host, port), timeout=timeout)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.buffer = b""
        self.decoder = json.JSONDecoder()

    def close(self):
        self.sock.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def send_raw(self, data):
        if isinstance(data, str):
            data = data.encode("utf-8")
        self.sock.sendall(data)

    def read_raw_reply(self):
        """The bytes of exactly one reply (an indented JSON object and its line break)."""
        while True:
            text = self.buffer.decode("utf-8", errors="strict") if self.buffer else ""
            stripped = text.lstrip()
            if stripped:
                try:
                    _, end = self.decoder.raw_decode(stripped)
                except ValueError:
                    end = None
                if end is not None:
                    consumed = len(text) - len(stripped) + end
                    if consumed < len(text) and text[consumed] == "\n":
                        consumed += 1
                    raw = text[:consumed].encode("utf-8")
                    self.buffer = text[consumed:].encode("utf-8")
                    return raw
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("server closed the connection")
            self.buffer += chunk

    def read_reply(self):
        return json.loads(self.read_raw_reply())

    def send(self, message):
        """Sends one message (a dict) and returns its reply."""
        self.send_raw(json.dumps(message))
        return self.read_reply()

    def command(self, name, params=None, **members):
        message = {name: params if params is not None else {}}
        message.update(members)
        return self.send(message)

    # Helpers for the common commands. Target members (objname, parobjname, method, mthargs)
    # pass through as keyword arguments.
    def invoke(self, objname, method, args=(), **target):
        return self.command("invoke", dict(objname=objname, method=method, mthargs=list(args),
                                           **target))

    def invokeret(self, objname, method, args=(), **target):
        return self.command("invokeret", dict(objname=objname, method=method,
                                              mthargs=list(args), **target))

    def getpro(self, objname, prop, **target):
        return self.command("getpro", dict(objname=objname, property=prop, **target))

    def setpro(self, objname, prop, value, **target):
        return self.command("setpro", dict(objname=objname, property=prop, propval=value,
                                           **target))

    def value(self, objname, prop, **target):
        """The value of a property, failing loudly when it cannot be read."""
        reply = self.getpro(objname, prop, **target)
        if not reply.get("result"):
            raise AssertionError("cannot read %s.%s: %r" % (objname, prop, reply))
        return reply.get("value")

    def mouse(self, command, window, objname, **params):
        return self.command(command, dict(winobjname=window, objname=objname, **params))

    def click(self, window, objname, **params):
        return self.mouse("click", window, objname, **params)

    def keyclick(self, window, key, modifiers=0):
        return self.command("keyclick", dict(winobjname=window, key=key,
                                             keyboardModifier=modifiers))

    def waitsignal(self, objname, signal_signature, timeout=None, **target):
        params = dict(objname=objname, signal=signal_signature, **target)
        if timeout is not None:
            params["timeout"] = timeout
        return self.command("waitsignal", params)

    def getwinname(self, objname, **target):
        return self.command("getwinname", dict(objname=objname, **target))


class ArdmereInstance:
    """The real program, started from a private directory with the server switched on."""

    def __init__(self, binary=None, scene=None, settings=None, workdir=None, root_name=None,
                 environment=None):
        self.binary = binary or os.environ["ARDMERE_BIN"]
        self.scene = scene
        # objectName of the scene's window: stop() closes it so that the program shuts down in
        # order, as it does for a user.
        self.root_name = root_name
        self.port = free_port()
        self.settings = {"uiRemoteControl": "true", "uiRemoteControlPort": str(self.port)}
        self.settings.update(settings or {})
        self.workroot = workdir or os.environ.get("ARDMERE_E2E_WORKDIR")
        # Variables set on top of this process's environment (a display of the caller's own).
        self.environment = dict(environment or {})
        self.process = None
        self.directory = None
        self.log_path = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        if self.workroot:
            os.makedirs(self.workroot, exist_ok=True)
        self.directory = tempfile.mkdtemp(prefix="ardmere-e2e-", dir=self.workroot)
        program = os.path.join(self.directory, "ardmere")
        # A build beside the run may be relinking the program right now.
        deadline = time.monotonic() + 120
        while not os.access(self.binary, os.X_OK) and time.monotonic() < deadline:
            time.sleep(0.5)
        # A hard link (or a copy across file systems), never a symbolic link: the program finds
        # settings.ini beside the resolved executable.
        try:
            os.link(self.binary, program)
        except OSError:
            shutil.copy2(self.binary, program)
        with open(os.path.join(self.directory, "settings.ini"), "w") as ini:
            ini.write("[General]\n")
            for key, value in self.settings.items():
                ini.write("%s=%s\n" % (key, value))
        runtime = os.path.join(self.directory, "runtime")
        tmp = os.path.join(self.directory, "tmp")
        os.makedirs(runtime, mode=0o700)
        os.makedirs(tmp)
        env = dict(os.environ)
        env.update(self.environment)
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        # The offscreen platform has no OpenGL context; on an X display Mesa renders.
        if env["QT_QPA_PLATFORM"] == "offscreen":
            env.setdefault("QT_QUICK_BACKEND", "software")
        env["XDG_RUNTIME_DIR"] = runtime
        env["TMPDIR"] = tmp
        env["HOME"] = self.directory
        args = [program]
        if self.scene:
            args.append(os.path.abspath(self.scene))
        self.log_path = os.path.join(self.directory, "output.log")
        log = open(self.log_path, "w")
        # A build beside the run may be rewriting the program right now: the fresh link is not
        # executable until the linker is done.
        deadline = time.monotonic() + 30
        while True:
            try:
                self.process = subprocess.Popen(args, cwd=self.directory, env=env, stdout=log,
                                                stderr=subprocess.STDOUT,
                                                preexec_fn=end_with_parent)
                break
            except OSError as error:
                if error.errno not in (errno.EACCES, errno.ETXTBSY) \
                        or time.monotonic() > deadline:
                    raise
                time.sleep(0.5)
        log.close()
        self.wait_until_listening()

    def wait_until_listening(self, timeout=DEFAULT_TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("ardmere exited with %s:\n%s" % (self.process.returncode,
                                                                    self.output()))
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1.0):
                    return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("ardmere did not listen on port %d:\n%s" % (self.port, self.output()))

    def client(self):
        return RemoteClient(self.port)

    def output(self):
        if getattr(self, "final_output", None) is not None:
            return self.final_output
        if not self.log_path or not os.path.exists(self.log_path):
            return ""
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def stop(self):
        if self.process and self.process.poll() is None and self.root_name:
            try:
                with self.client() as client:
                    client.send_raw(json.dumps(
                        {"invoke": {"objname": self.root_name, "method": "close"}}))
                    self.process.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                pass
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.final_output = self.output()
        if self.directory and not os.environ.get("ARDMERE_E2E_KEEP"):
            shutil.rmtree(self.directory, ignore_errors=True)
