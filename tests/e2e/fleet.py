"""A simulated fleet for the end-to-end tests, screenshots and window benchmarks.

DeviceSimulator starts ardmere-devicesim on loopback addresses of the caller's choosing, with a
private discovery port, waits until every device listens, and wraps the JSON control interface
(docs/devicesim.md) so that a test can put devices back into a known state between cases.
"""

import ctypes
import http.client
import ipaddress
import json
import os
import signal
import socket
import subprocess

PR_SET_PDEATHSIG = 1


def free_udp_port():
    """A UDP port that is free on loopback right now (the program's discovery port)."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def end_with_parent():
    """Runs in the child before exec: the child gets SIGTERM when the harness dies, so that a
    harness killed by a time-out leaves no simulator holding the test's addresses."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def address(first_ip, offset):
    """The address offset places after first_ip."""
    return str(ipaddress.IPv4Address(first_ip) + offset)


class DeviceSimulator:
    """One ardmere-devicesim process and its control interface."""

    def __init__(self, first_ip, count, binary=None, password="ardmere1", recorders=0,
                 factory_new=0, http_port=8080, https_port=8443, discovery_port=None,
                 extra_args=()):
        self.binary = binary or os.environ["ARDMERE_DEVICESIM"]
        self.first_ip = first_ip
        self.count = count
        self.password = password
        self.recorders = recorders
        self.factory_new = factory_new
        self.http_port = http_port
        self.https_port = https_port
        self.discovery_port = discovery_port or free_udp_port()
        self.extra_args = list(extra_args)
        self.control_port = None
        self.process = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    @property
    def addresses(self):
        return [address(self.first_ip, i) for i in range(self.count)]

    def start(self):
        args = [self.binary, "--count", str(self.count), "--first-ip", self.first_ip,
                "--http-port", str(self.http_port), "--https-port", str(self.https_port),
                "--password", self.password, "--recorders", str(self.recorders),
                "--factory-new", str(self.factory_new),
                "--discovery-port", str(self.discovery_port), "--control-port", "0",
                "--restart-ms", "300"] + self.extra_args
        self.process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                        text=True, preexec_fn=end_with_parent)
        seen = []
        for line in self.process.stdout:
            seen.append(line)
            if line.startswith("control "):
                self.control_port = int(line.split()[1])
            elif line.startswith("ready"):
                break
        else:
            self.process.wait()
            raise RuntimeError("the device simulator did not start:\n" + "".join(seen))
        # Nothing reads the simulator's output from here on; a full pipe must never stall it.
        self.process.stdout.close()

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def request(self, method, path, body=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.control_port, timeout=20)
        try:
            payload = json.dumps(body) if body is not None else None
            headers = {"Content-Type": "application/json"} if payload is not None else {}
            connection.request(method, path, body=payload, headers=headers)
            response = connection.getresponse()
            text = response.read().decode("utf-8")
            if response.status >= 300:
                raise RuntimeError("%s %s answered %d: %s" % (method, path, response.status, text))
            return json.loads(text) if text.strip() else None
        finally:
            connection.close()

    def device(self, ip):
        return self.request("GET", "/devices/" + ip)

    def change(self, ip, **state):
        return self.request("POST", "/devices/" + ip, state)

    def received_paths(self, ip):
        return [r.get("path", "") for r in self.request("GET", "/devices/%s/received" % ip)]

    def clear_received(self, ip):
        self.request("DELETE", "/devices/%s/received" % ip)

    def reset(self, first_use=()):
        """Every device back to the fleet's account, no fault; those in first_use wait for
        their first password again."""
        for ip in self.addresses:
            if ip in first_use:
                self.change(ip, firstUse=True, password="", fault={"kind": "none"})
            else:
                self.change(ip, firstUse=False, user="root", password=self.password,
                            fault={"kind": "none"})
