#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The peer in the benchmarks: the same calls made with python3-zeep, the
SOAP client a HIS developer would otherwise pick, against the same server.

    peer_zeep.py small    WSDL URL CALLS BOOKNO OPERATOR
    peer_zeep.py download WSDL URL LASTTIME CENTERNO HOSNO

The arguments are sent as given (already base64, as the library sends them).
Only the calls are timed: loading the WSDL is done once, before. The figures
go to stdout as one line of key=value pairs for the benchmark driver, with
the process's peak resident memory (VmHWM).
"""
import statistics
import sys
import time

import zeep

SERVICE_NAMESPACE = "http://webservice.redeem.centre.example/"


def service_at(wsdl, url):
    # The big catalogue has more nodes than lxml allows by default.
    client = zeep.Client(wsdl, settings=zeep.Settings(xml_huge_tree=True))
    return client.create_service("{%s}inpatientRedeem" % SERVICE_NAMESPACE, url)


def status_kb(field):
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return -1


def peak_kb():
    return status_kb("VmHWM")


def items_of(result):
    """The items of a list record as zeep returns it: the list of items
    itself (a record of one repeated member is unwrapped), the record, or None."""
    if result is None:
        return []
    if isinstance(result, list):
        return result
    return list(getattr(result, "list", None) or [])


def small(wsdl, url, calls, bookno, operator):
    service = service_at(wsdl, url)
    times = []
    cpu_start = time.thread_time_ns()
    for _ in range(calls):
        start = time.perf_counter_ns()
        result = service.getPersonInfo(bookno=bookno, operator=operator)
        times.append(time.perf_counter_ns() - start)
        if len(items_of(result)) != 1:
            raise SystemExit("peer: getPersonInfo did not return one member")
    cpu_us = (time.thread_time_ns() - cpu_start) / 1000 / calls
    times.sort()
    p99 = times[min(len(times) - 1, (len(times) * 99) // 100)]
    print("median_us=%.1f p99_us=%.1f cpu_us=%.1f calls=%d peak_kb=%d"
          % (statistics.median(times) / 1000, p99 / 1000, cpu_us, calls, peak_kb()))


def download(wsdl, url, last_time, center_no, hos_no):
    service = service_at(wsdl, url)
    base_kb = status_kb("VmRSS")
    cpu_start = time.thread_time_ns()
    start = time.perf_counter_ns()
    result = service.updateLeechdom(lastTime=last_time, centerNo=center_no, hosNo=hos_no)
    seconds = (time.perf_counter_ns() - start) / 1e9
    cpu_seconds = (time.thread_time_ns() - cpu_start) / 1e9
    print("seconds=%.4f cpu_seconds=%.4f items=%d base_kb=%d peak_kb=%d"
          % (seconds, cpu_seconds, len(items_of(result)), base_kb, peak_kb()))


def main(argv):
    if len(argv) == 7 and argv[1] == "small":
        small(argv[2], argv[3], int(argv[4]), argv[5], argv[6])
    elif len(argv) == 7 and argv[1] == "download":
        download(argv[2], argv[3], argv[4], argv[5], argv[6])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
