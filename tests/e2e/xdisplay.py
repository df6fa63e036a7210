"""A private X server (Xvfb) of a chosen screen size, for tools that need more than one size in
one run, and screenshots of it with ImageMagick's import."""

import os
import subprocess


class VirtualDisplay:
    def __init__(self, width, height, depth=24):
        self.geometry = "%dx%dx%d" % (width, height, depth)
        self.process = None
        self.display = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        # -displayfd lets the server pick a free display number and tell it to us.
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.geometry,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.kill()
            self.process.wait()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def environment(self, base=None):
        env = dict(base if base is not None else os.environ)
        env["DISPLAY"] = self.display
        env["QT_QPA_PLATFORM"] = "xcb"
        return env

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", path],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
