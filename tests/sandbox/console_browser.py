#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The sandbox console in a real browser: Debian's chromium, headless.

Usage: console_browser.py NV_SANDBOX LIBRARY SCREENSHOT_PNG

Starts the sandbox, opens its console, and calls the library (LIBRARY,
through ctypes) as a HIS does: the exchange appears on the page with its
members as Chinese text; a member holding markup shows as text and runs
nothing; a fault armed from the page's form reaches the next library call
and the page shows what the HIS got; a held answer shows as held while the
page goes on; the state table links its row to the exchange; the filter and
the raw bytes work. Ends with a screenshot of the console (the README's).
Exits 0 when all hold.
"""
import json
import os
import sys
import threading

from devtools_pipe import Browser
from his_library import HisLibrary, CENTRE, column, out_code, out_text, register_visit, write_configuration
from sandbox_centre import running_sandbox

SANDBOX, LIBRARY, SCREENSHOT = os.path.abspath(sys.argv[1]), sys.argv[2], os.path.abspath(sys.argv[3])
failures = []
MARKUP = '<img src=x onerror="window.__ran=1"><script>window.__ran=2</script>'
FAULT_TEXT = "农合中心系统维护中,请稍后再试"


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}"[:3000])


def newest(operation):
    """A page expression: the newest exchange item of the operation, as data."""
    return f"""(() => {{
      const item = [...document.querySelectorAll('#exchanges li.exchange')]
        .find(li => li.querySelector('.operation').textContent === {json.dumps(operation)});
      if (!item) return null;
      const members = {{}};
      item.querySelectorAll('.member').forEach(m =>
        members[m.querySelector('.name').textContent] = m.querySelector('.value').textContent);
      return {{id: item.id, classes: item.className, members, outcome: item.querySelector('.outcome').textContent,
               message: item.querySelector('.message')?.textContent ?? null,
               armed: item.querySelector('.armed')?.textContent ?? null,
               cells: [...item.querySelectorAll('table.rows td')].map(td => td.textContent)}};
    }})()"""


def set_field(page, field, value):
    page.evaluate(f"""(() => {{ const f = document.getElementById({json.dumps(field)});
      f.value = {json.dumps(value)}; f.dispatchEvent(new Event('input', {{bubbles: true}}));
      f.dispatchEvent(new Event('change', {{bubbles: true}})); }})()""")


def check(page, his):
    page.wait_for("!!document.querySelector('#status.live')")
    expect("the operations are offered",
           page.evaluate("document.querySelectorAll('#fault-operation option').length") == 33)

    # A library call appears, its members and rows as Chinese text.
    expect("a lookup", out_code(his.call("getPersonInfo", "341122000123", "op01", CENTRE)) == "000")
    seen = page.wait_for(newest("getPersonInfo"))
    expect("the exchange's members", seen["members"] == {"bookno": "341122000123", "operator": "op01"}, seen)
    expect("the answer's rows", "张三" in seen["cells"] and "明湖县城关镇东街12号" in seen["cells"], seen)

    # Markup the HIS sent is shown as text and runs nothing.
    his.call("getHospitalInfo", MARKUP, CENTRE)
    seen = page.wait_for(newest("getHospitalInfo"))
    expect("markup shown as text", seen["members"].get("name") == MARKUP, seen)
    expect("no element made of it", page.evaluate("document.querySelectorAll('#exchanges img, #exchanges script').length")
           == 0)
    expect("nothing of it ran", page.evaluate("window.__ran === undefined"))

    # A fault armed from the page reaches the next call, and the page shows it.
    set_field(page, "fault-operation", "getPersonInfo")
    set_field(page, "fault-kind", "fault")
    set_field(page, "fault-text", FAULT_TEXT)
    page.evaluate("document.getElementById('arm').click()")
    armed = page.wait_for("document.querySelector('#faults tbody tr')?.textContent")
    expect("the armed fault is listed", "getPersonInfo" in armed and FAULT_TEXT in armed, armed)
    result = his.call("getPersonInfo", "341122000123", "op01", CENTRE)
    expect("the library got the armed fault", out_code(result) == "600" and out_text(result) == FAULT_TEXT, result)
    seen = page.wait_for(f"(() => {{ const n = {newest('getPersonInfo')}; return n && n.outcome === 'fault' && n; }})()")
    expect("the page shows what the HIS got", seen["message"] == FAULT_TEXT and FAULT_TEXT in (seen["armed"] or ""), seen)
    page.wait_for("document.getElementById('faults').hidden")

    # A held answer shows as held; the page goes on meanwhile.
    set_field(page, "fault-operation", "")
    set_field(page, "fault-kind", "wait")
    set_field(page, "fault-seconds", "3")
    page.evaluate("document.getElementById('arm').click()")
    page.wait_for("!!document.querySelector('#faults tbody tr')")
    held = []
    caller = threading.Thread(target=lambda: held.append(register_visit(his)))
    caller.start()
    seen = page.wait_for(f"(() => {{ const n = {newest('cliRegister')}; return n && n.classes.includes('held') && n; }})()")
    caller.join(30)
    clinic_no = column(held[0], "clinicNo") if held else None
    expect("the held call succeeded late", clinic_no == "10000001", held)
    page.wait_for(f"!({newest('cliRegister')}).classes.includes('held')")

    # The state table links the visit to the exchange that made it.
    link = page.wait_for("document.querySelector('table.state[data-table=visits] a.exchange-link')?.getAttribute('href')")
    expect("the visit links its exchange", link == "#" + seen["id"], (link, seen["id"]))

    # The filter narrows the list; the raw bytes open.
    set_field(page, "filter-operation", "cliRegister")
    page.wait_for("[...document.querySelectorAll('#exchanges .operation')].every(o => o.textContent === 'cliRegister')")
    page.evaluate("document.querySelector('#exchanges details').open = true")
    raw = page.wait_for("(t => t.startsWith('POST') && t)(document.querySelector('#exchanges .raw-request').textContent)")
    expect("the raw request", "/clinic/webservice/inpatientRedeem" in raw and "cliRegister" in raw, raw[:300])
    set_field(page, "filter-operation", "")
    page.wait_for("document.querySelectorAll('#exchanges li.exchange').length >= 4")

    page.evaluate("document.querySelector('#exchanges details').open = false")
    page.screenshot(SCREENSHOT, height=1500)
    expect("the screenshot", os.path.getsize(SCREENSHOT) > 10000)
    expect("no script errors and nothing refused on the page", page.problems() == [], page.problems())


def main():
    his = HisLibrary(LIBRARY)
    with running_sandbox(SANDBOX, failures) as (url, scratch):
        os.chdir(scratch)
        write_configuration(scratch, url)
        browser = Browser(os.path.join(scratch, "chromium.log"))
        try:
            check(browser.open_page(url[:url.index("/", 7)] + "/"), his)
        except (TimeoutError, RuntimeError, EOFError) as failure:
            failures.append(f"the page: {failure}")
        finally:
            browser.close()
        if failures:
            with open(os.path.join(scratch, "chromium.log"), errors="replace") as log:
                sys.stderr.write(log.read()[-4000:])
    if failures:
        print("\n".join(failures), file=sys.stderr)
        sys.exit(1)
    print("console in the browser: all checks passed")


main()
