# SPDX-License-Identifier: MIT
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
def running_sandbox(binary, failures, launcher=(), env=None, stop_signal=signal.SIGTERM, started=None):
    """Yields (service address, scratch folder). launcher runs the binary
    (Wine for nv_sandbox.exe), with env; started, a list, receives the
    process. A non-zero exit status of the sandbox is added to failures;
    when there are failures, its log goes to stderr."""
    with tempfile.TemporaryDirectory() as scratch:
        log_path = os.path.join(scratch, "sandbox.log")
        with open(log_path, "wb") as log:
            server = subprocess.Popen([*launcher, binary, "--port", "0", "--db", os.path.join(scratch, "centre.db")],
                                      stdout=subprocess.PIPE, stderr=log, env=env)
            if started is not None:
                started.append(server)
            try:
                port = int(server.stdout.readline())
                yield f"http://127.0.0.1:{port}{SERVICE_PATH}", scratch
            finally:
                if server.poll() is None:
                    server.send_signal(stop_signal)
                status = server.wait(timeout=30)
        if status != 0:
            failures.append(f"the sandbox exited with status {status}")
        if failures:
            with open(log_path, encoding="utf-8", errors="replace") as log:
                sys.stderr.write(log.read())


_refusing = []


def refused_port():
    """A loopback port where nothing answers: bound without listening and kept
    bound while the checks run, so that no other program takes it meanwhile."""
    if not _refusing:
        import socket
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.bind(("127.0.0.1", 0))
        _refusing.append(sock)
    return _refusing[0].getsockname()[1]


def run_captured(command, **kwargs):
    """subprocess.run with stdout and stderr captured through files, not
    pipes: a wineserver that a Windows program starts outlives it by seconds,
    and would hold a pipe open that long."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run(command, stdout=out, stderr=err, **kwargs)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(done.args, done.returncode, out.read(), err.read())
