"""The sandbox centre as the Python checks run it: a context manager that
starts it on a free loopback port with a fresh database in a scratch folder,
yields its service address and stops it on leaving."""
import contextlib
import os
import signal
import subprocess
import sys
import tempfile

SERVICE_PATH = "/clinic/webservice/inpatientRedeem"


@contextlib.contextmanager
def running_sandbox(binary, failures):
    """Yields (service address, scratch folder). A non-zero exit status of the
    sandbox is added to failures; when there are failures, its log goes to
    stderr."""
    with tempfile.TemporaryDirectory() as scratch:
        log_path = os.path.join(scratch, "sandbox.log")
        with open(log_path, "wb") as log:
            server = subprocess.Popen([binary, "--port", "0", "--db", os.path.join(scratch, "centre.db")],
                                      stdout=subprocess.PIPE, stderr=log)
            try:
                port = int(server.stdout.readline())
                yield f"http://127.0.0.1:{port}{SERVICE_PATH}", scratch
            finally:
                server.send_signal(signal.SIGTERM)
                status = server.wait(timeout=30)
        if status != 0:
            failures.append(f"the sandbox exited with status {status}")
        if failures:
            with open(log_path, encoding="utf-8", errors="replace") as log:
                sys.stderr.write(log.read())
