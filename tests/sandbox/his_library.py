# SPDX-License-Identifier: MIT
"""The library as a HIS calls it, from the Python checks: loaded with ctypes,
each export called with GBK texts in the HIS's working directory, whose
NvConfiguration.ini names the centre under test."""
import base64
import ctypes
import os
import re

CENTRE, HOSPITAL = "341122", "341122001"
# The keys of NvConfiguration.ini, in the order of a centre's six lines.
CONFIG_KEYS = ("f7ad02e", "957b527", "1c1be9c", "170e2c1", "8e44f00", "8e44f01")


def write_configuration(directory, service_url, centre=CENTRE, hospital=HOSPITAL):
    values = (centre, service_url, hospital, "2", "op01", "")
    with open(os.path.join(directory, "NvConfiguration.ini"), "wb") as f:
        for key, value in zip(CONFIG_KEYS, values):
            f.write(key.encode() + b"=" + base64.b64encode(value.encode("gbk")) + b"\n")


class HisLibrary:
    """Calls exports by name; results come back decoded from GBK."""

    def __init__(self, path):
        self.lib = ctypes.CDLL(os.path.abspath(path))
        self.lib.freeResult.argtypes = [ctypes.c_void_p]

    def call(self, export, *args):
        function = getattr(self.lib, export)
        function.restype = ctypes.c_void_p
        function.argtypes = [ctypes.c_char_p] * len(args)
        pointer = function(*[a.encode("gbk") for a in args])
        try:
            return ctypes.string_at(pointer).decode("gbk")
        finally:
            self.lib.freeResult(pointer)


def out_code(result):
    found = re.search(r"<out_code>(.*?)</out_code>", result)
    return found.group(1) if found else None


def out_text(result):
    found = re.search(r"<out_text>(.*?)</out_text>", result)
    return found.group(1) if found else None


def column(result, name):
    """The first row's value of a column."""
    found = re.search(r'colname=\\"' + re.escape(name) + r'\\">(.*?)</column>', result)
    return found.group(1) if found else None


def register_visit(his, member_name="张三"):
    """cliRegister of the seed member 张三 (the walkthrough's visit)."""
    return his.call("cliRegister", "1", "", CENTRE, "MZ0001", "3411220001", "34112200012301", "341122100001",
                    member_name, "1", "341122197803150019", "46", "341122000123", "6210341122000123", "J06.900", "",
                    "01", "2024-06-03", "王医生", "1", "1", "", "")
