# SPDX-License-Identifier: MIT
"""Debian's chromium, headless, driven over the DevTools protocol through a
pipe (--remote-debugging-pipe: commands on its fd 3, answers on its fd 4,
each message JSON ended by a NUL byte). Nothing is downloaded; the profile
is a new empty folder."""
import base64
import fcntl
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

CHROMIUM = "/usr/bin/chromium"
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]


class Browser:
    def __init__(self, log_path):
        self.profile = tempfile.mkdtemp(prefix="nv-chromium-")
        commands_read, self.commands = os.pipe()
        self.answers, answers_write = os.pipe()
        # Above the numbers they are to take in the child, so no dup2 clobbers another.
        keep = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (commands_read, answers_write)]
        os.close(commands_read)
        os.close(answers_write)

        def as_fds_3_and_4():
            os.dup2(keep[0], 3)
            os.dup2(keep[1], 4)

        # A sanitizer runtime preloaded into the test is not chromium's.
        env = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS")}
        with open(log_path, "ab") as log:
            self.process = subprocess.Popen(
                [CHROMIUM, *FLAGS, f"--user-data-dir={self.profile}", "--remote-debugging-pipe", "about:blank"],
                stdin=subprocess.DEVNULL, stdout=log, stderr=log, close_fds=False, preexec_fn=as_fds_3_and_4, env=env)
        for fd in keep:
            os.close(fd)
        self.next_id = 0
        self.pending = b""
        self.events = []

    def _read_message(self, deadline):
        while b"\0" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.answers], [], [], left)[0]:
                raise TimeoutError("chromium did not answer")
            chunk = os.read(self.answers, 1 << 20)
            if not chunk:
                raise EOFError("chromium closed its pipe")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=30):
        self.next_id += 1
        command = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            command["sessionId"] = session
        os.write(self.commands, json.dumps(command).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            message = self._read_message(deadline)
            if message.get("id") != self.next_id:
                self.events.append(message)
                continue
            if "error" in message:
                raise RuntimeError(f"{method}: {message['error']}")
            return message["result"]

    def open_page(self, url, width=1400, height=1000):
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        page = Page(self, self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"])
        for domain in ("Page.enable", "Runtime.enable", "Log.enable"):
            page.send(domain)
        page.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        page.send("Page.navigate", {"url": url})
        page.wait_for("document.readyState === 'complete'")
        return page

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except (RuntimeError, TimeoutError, EOFError, OSError):
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.commands)
        os.close(self.answers)
        shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    def __init__(self, browser, session):
        self.browser, self.session = browser, session

    def send(self, method, params=None, timeout=30):
        return self.browser.send(method, params, self.session, timeout)

    def evaluate(self, expression):
        answer = self.send("Runtime.evaluate", {"expression": expression, "awaitPromise": True, "returnByValue": True})
        if "exceptionDetails" in answer:
            raise RuntimeError(f"{expression}: {answer['exceptionDetails']}")
        return answer["result"].get("value")

    def wait_for(self, expression, timeout=20):
        """The expression's value once it is truthy; TimeoutError if never."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise TimeoutError(f"never true: {expression}")
            time.sleep(0.1)

    def screenshot(self, path, width=1400, height=1000):
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        png = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(png))

    def problems(self):
        """Exceptions the page threw and errors it logged (a refused script included)."""
        found = []
        for event in self.browser.events:
            if event.get("sessionId") != self.session:
                continue
            params = event.get("params", {})
            if event.get("method") == "Runtime.exceptionThrown":
                found.append(params["exceptionDetails"].get("text"))
            elif event.get("method") == "Log.entryAdded" and params["entry"]["level"] == "error":
                found.append(params["entry"].get("text"))
            elif event.get("method") == "Runtime.consoleAPICalled" and params.get("type") == "error":
                found.append(str(params.get("args")))
        return found
