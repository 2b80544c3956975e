#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The sandbox console's JSON API alone, as a HIS's automated tests use it.

Usage: console_api.py NV_SANDBOX LIBRARY [WINE WINEPREFIX]

Starts the sandbox (with WINE, nv_sandbox.exe under that Wine loader in
WINEPREFIX; exits 77, skipped, without them), calls the library (LIBRARY,
the Linux shared library, through ctypes) as a HIS does, and checks through
the API: every kind of armed fault and what the library got, their count
and operation, disarming, the journal's filters and raw bytes, the state
tables linked to the exchanges that made them, the reset, mistakes of the
caller, that the API answers while an answer is held, and a clean stop
while one is. Exits 0 when all hold.
"""
import base64
import json
import os
import shutil
import signal
import sys
import threading
import time
import urllib.error
import urllib.request

from his_library import HisLibrary, CENTRE, column, out_code, out_text, register_visit, write_configuration
from sandbox_centre import running_sandbox

SANDBOX, LIBRARY = os.path.abspath(sys.argv[1]), sys.argv[2]
WINE = sys.argv[3:5]
if WINE and not (os.path.exists(SANDBOX) and shutil.which(WINE[0])):
    print(f"skipped: no {SANDBOX} or no {WINE[0]}")
    sys.exit(77)
failures = []


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}"[:3000])


class Console:
    def __init__(self, origin):
        self.origin = origin

    def call(self, method, path, body=None, content_type="application/json", headers=None):
        """(status, decoded JSON answer, response headers)"""
        data = None if body is None else (body if isinstance(body, bytes) else json.dumps(body).encode())
        request = urllib.request.Request(self.origin + path, data=data, method=method, headers=dict(headers or {}))
        if data is not None:
            request.add_header("Content-Type", content_type)
        try:
            with urllib.request.urlopen(request, timeout=20) as answer:
                return answer.status, json.loads(answer.read()), answer.headers
        except urllib.error.HTTPError as refused:
            return refused.code, json.loads(refused.read() or b"null"), refused.headers

    def get(self, path):
        return self.call("GET", path)[1]

    def arm(self, **spec):
        status, answer, _ = self.call("POST", "/api/faults", spec)
        expect(f"arming {spec}", status == 201, answer)
        return answer.get("fault", {})

    def last(self):
        return self.get("/api/exchanges?limit=1")["exchanges"][0]

    def table(self, name):
        return next(t for t in self.get("/api/state")["tables"] if t["name"] == name)


def timed(function, *args):
    began = time.monotonic()
    result = function(*args)
    return result, time.monotonic() - began


def check_fault_kinds(console, his):
    # (armed fault, what the library returns, how the journal says the answer went, least seconds)
    cases = [
        ({"operation": "getPersonInfo", "kind": "fault", "text": "农合中心系统维护中"},
         ("600", "农合中心系统维护中"), "answered", 0),
        ({"kind": "wait", "seconds": 2}, ("000", "执行成功"), "answered after 2 s", 2),
        ({"kind": "close"}, ("600", None), "closed without answering", 0),
        ({"kind": "malformed"}, ("600", None), "answered with a malformed body", 0),
        ({"kind": "trickle", "bytesPerSecond": 4000}, ("000", "执行成功"), "trickled at 4000 bytes/s", 0.5),
    ]
    for spec, (code, text), delivery, least in cases:
        kind = spec["kind"]
        console.arm(**spec)
        result, seconds = timed(his.call, "getPersonInfo", "341122000123", "op01", CENTRE)
        expect(f"{kind}: the library's out_code", out_code(result) == code, result[:300])
        if text:
            expect(f"{kind}: the library's out_text", out_text(result) == text, result[:300])
        expect(f"{kind}: held at least {least} s", seconds >= least, seconds)
        # The sandbox finishes its journal entry once the answer is out: the
        # library may have read it (or given up on it) a moment before.
        entry, deadline = console.last(), time.monotonic() + 5
        while entry["held"] and time.monotonic() < deadline:
            time.sleep(0.05)
            entry = console.last()
        expect(f"{kind}: the journal shows the armed fault", entry["armed"] and not entry["held"], entry)
        expect(f"{kind}: the journal shows the delivery", entry["delivery"] == delivery, entry["delivery"])
        expect(f"{kind}: used up", console.get("/api/faults")["faults"] == [], console.get("/api/faults"))
    # The refusal is the only one that did not run the operation.
    entries = console.get("/api/exchanges?outcome=armed")["exchanges"]
    expect("five exchanges met armed faults", len(entries) == 5, entries)
    expect("outcomes", [e["outcome"] for e in reversed(entries)] == ["fault", "ok", "ok", "ok", "ok"], entries)


def check_count_and_operation(console, his):
    fault = console.arm(operation="cliSeek", count=2, kind="fault", text="第一次")
    expect("remaining starts at the count", fault.get("remaining") == 2, fault)
    expect("another operation is not met", out_code(his.call("getPersonInfo", "341122000123", "op", CENTRE)) == "000")
    got = [out_text(his.call("cliSeek", "34112200012301", CENTRE)) for _ in range(3)]
    expect("the next two calls of the operation, then its own answer", got == ["第一次", "第一次", "该成员没有门诊就诊记录"],
           got)
    first, second = console.arm(kind="close", count=5), console.arm(kind="wait", seconds=1)
    status, answer, _ = console.call("DELETE", f"/api/faults/{first['id']}")
    expect("disarm one", status == 200 and answer == {"disarmed": first["id"]}, answer)
    expect("the other stays", [f["id"] for f in console.get("/api/faults")["faults"]] == [second["id"]])
    expect("disarming it twice", console.call("DELETE", f"/api/faults/{first['id']}")[0] == 404)
    expect("disarm all", console.call("DELETE", "/api/faults")[0] == 200 and console.get("/api/faults")["faults"] == [])


def check_journal_and_state(console, his):
    visit = register_visit(his, "张三<b>")
    clinic_no = column(visit, "clinicNo")
    expect("a visit registered", out_code(visit) == "000" and clinic_no, visit)
    entry = console.last()
    expect("members decoded as Chinese text",
           {"name": "memberName", "value": "张三<b>"} in entry["members"] and entry["operation"] == "cliRegister",
           entry["members"])
    expect("the answer's rows", entry["rows"] == [{"return": clinic_no}], entry["rows"])
    full = console.get(f"/api/exchanges/{entry['id']}")["exchange"]
    raw_request = base64.b64decode(full["rawRequestBase64"])
    raw_answer = base64.b64decode(full["rawAnswerBase64"])
    expect("the raw request carries the member as base64 of GBK",
           raw_request.startswith(b"POST ") and base64.b64encode("张三<b>".encode("gbk")) in raw_request, raw_request[:300])
    expect("the raw answer", raw_answer.startswith(b"HTTP/1.1 200 OK") and base64.b64encode(clinic_no.encode()) in raw_answer,
           raw_answer[:300])

    his.call("cliCalculate", "10009999", CENTRE)
    filters = [("operation=cliRegister", ["cliRegister"]), (f"number={clinic_no}", ["cliRegister"]),
               ("outcome=fault", ["cliCalculate", "cliSeek", "getPersonInfo"]), ("number=10009999&outcome=fault", ["cliCalculate"])]
    for query, operations in filters:
        found = [e["operation"] for e in console.get("/api/exchanges?" + query)["exchanges"]]
        expect(f"filter {query}", sorted(set(found)) == sorted(operations), found)

    visits = console.table("visits")
    expect("the visit's row links its exchange", [r["exchanges"] for r in visits["rows"]] == [[entry["id"]]], visits)
    expect("the visit's row", clinic_no in visits["rows"][0]["values"] and "张三<b>" in visits["rows"][0]["values"],
           visits)
    members = console.table("members")
    expect("seeded rows link no exchange", len(members["rows"]) == 6 and all(not r["exchanges"] for r in members["rows"]),
           members)
    version = console.get("/api/exchanges")["version"]
    expect("nothing new since", console.get(f"/api/exchanges?ifNewer={version}") == {"version": version, "unchanged": True})

    expect("reset", console.call("POST", "/api/reset")[:2] == (200, {"reset": True}))
    expect("the reset emptied the visits", console.table("visits")["rows"] == [])
    expect("numbers start again", column(register_visit(his), "clinicNo") == "10000001")


def check_mistakes(console):
    cases = [
        ("POST", "/api/faults", b"{", "application/json", 400, "JSON object"),
        ("POST", "/api/faults", {"kind": "wait", "seconds": 1}, "text/plain", 415, "Content-Type"),
        ("POST", "/api/faults", {"kind": "explode"}, "application/json", 400, "kind"),
        ("POST", "/api/faults", {"kind": "close", "operation": "noSuch"}, "application/json", 400, "noSuch"),
        ("POST", "/api/faults", {"kind": "wait"}, "application/json", 400, "seconds is needed"),
        ("POST", "/api/faults", {"kind": "wait", "seconds": 0}, "application/json", 400, "from 1 to 3600"),
        ("POST", "/api/faults", {"kind": "close", "count": 0}, "application/json", 400, "count"),
        ("POST", "/api/faults", {"kind": "close", "count": "2"}, "application/json", 400, "whole number"),
        ("POST", "/api/faults", {"kind": "fault"}, "application/json", 400, "text"),
        ("GET", "/api/exchanges/999999", None, None, 404, "no exchange"),
        ("GET", "/api/exchanges?limit=x", None, None, 400, "limit"),
        ("GET", "/api/nothing", None, None, 404, "no such call"),
        ("DELETE", "/api/reset", None, None, 405, "no such call"),
    ]
    for method, path, body, content_type, status, said in cases:
        got, answer, _ = console.call(method, path, body, content_type or "application/json")
        expect(f"{method} {path} {body!r}", got == status and said in (answer or {}).get("error", ""), (got, answer))
    # No other site's page may read the answers.
    _, _, headers = console.call("GET", "/api/faults", headers={"Origin": "http://elsewhere.example"})
    expect("no CORS for other origins", headers.get("Access-Control-Allow-Origin") is None, dict(headers))
    expect("nothing armed by the mistakes", console.get("/api/faults")["faults"] == [])


def check_held_answer(console, his, server, stop_signal):
    # The API answers while a call is held, and a stop ends the hold.
    console.arm(kind="wait", seconds=60)
    results = []
    caller = threading.Thread(target=lambda: results.append(his.call("getPersonInfo", "341122000123", "op", CENTRE)))
    caller.start()
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline and not console.get("/api/exchanges?limit=1")["exchanges"][0]["held"]:
        time.sleep(0.1)
    (entry, seconds) = timed(console.last)
    expect("the held exchange shows as held", entry["held"] and entry["delivery"].startswith("held: wait 60 s"), entry)
    expect("the API answers at once meanwhile", seconds < 2, seconds)
    began = time.monotonic()
    server.send_signal(stop_signal)
    status = server.wait(timeout=30)
    caller.join(30)
    expect("a clean stop while an answer is held", status == 0 and time.monotonic() - began < 10,
           (status, time.monotonic() - began))
    expect("the held call ends unanswered", results and out_code(results[0]) == "600", results)


def main():
    launcher, env, stop_signal = (), None, signal.SIGTERM
    if WINE:
        launcher = (WINE[0],)
        env = dict(os.environ, WINEPREFIX=os.path.abspath(WINE[1]), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY="")
        stop_signal = signal.SIGINT  # Wine turns it into the console's Ctrl+C
    his = HisLibrary(LIBRARY)
    started = []
    with running_sandbox(SANDBOX, failures, launcher, env, stop_signal, started) as (url, scratch):
        os.chdir(scratch)
        write_configuration(scratch, url)
        console = Console(url[:url.index("/", 7)])
        for check in (check_fault_kinds, check_count_and_operation, check_journal_and_state):
            check(console, his)
        check_mistakes(console)
        check_held_answer(console, his, started[0], stop_signal)
    if failures:
        print("\n".join(failures), file=sys.stderr)
        sys.exit(1)
    print("console API: all checks passed")


main()
