# SPDX-License-Identifier: MIT
"""The cases both wrappers' readers are held to, written as one data file
(and a 5,000-row catalogue) that ResultParsing.cs and ResultParsing.dpr read.

Every text of the file is hex, "." for an empty text and "-" for an absent
one, so markup, quotes and line breaks travel as they are:

  case NAME / doc GBK / head ID CODE TEXT / row / col NAME VALUE / end
  case NAME / doc GBK / refused / end
  encode UTF16 gbk GBK BASE64          the text passes, byte for byte
  encode UTF16 refused CODEPOINT INDEX  refused at that character (0-based)
  decode BASE64 UTF16 GBK               DeEncypt's bytes read back as text
  catalogue FILE ROWS FILLER COLNAME...  value of row r, column c: "r.c" FILLER
"""
import base64
import os

Q = '\\"'  # the library's attribute delimiter: backslash, quote
OK = ("000", "执行成功")
REFUSED = None


def column(colnum, name, value):
    return f"<column colnum={Q}{colnum}{Q} colname={Q}{name}{Q}>{value}</column>"


def document(rows, function_id="F", out=OK, columns=None, colnums=None):
    """The framing of text/result_document.cpp around rows of (name, value)."""
    text = f"<?xml version='1.0' encoding='gb2312'?><function><function_id>{function_id}</function_id>"
    if out:
        text += f"<out_code>{out[0]}</out_code><out_text>{out[1]}</out_text>"
    width = len(rows[0]) if rows else columns or 0
    text += f"<data rowcount={Q}{len(rows)}{Q} columns={Q}{width}{Q}>"
    for r, row in enumerate(rows):
        text += f"<row rownum={Q}{r}{Q}>"
        text += "".join(column(colnums[c] if colnums else c, n, v) for c, (n, v) in enumerate(row)) + "</row>"
    return text + "</data></function>"


def framed(name, rows, function_id="F", out=OK, **layout):
    """A document the library could write, and its parse: what was framed."""
    return name, document(rows, function_id, out, **layout), (function_id, out, rows)


def parse(rows, function_id="F", out=OK):
    return function_id, out, rows


TWO = [[("a", "1"), ("b", "2")], [("a", "3"), ("b", "4")]]

CASES = [
    framed("gbk_and_empty_values", [[("a", "张三"), ("b", "")], [("a", ""), ("b", "阿莫西林胶囊 0.25g*24粒")]]),
    framed("markup_in_values", [[("a", "x\"y<&'>"), ("b", "<b>粗</b><row rownum=" + Q + "9" + Q + ">"),
                                 ("c", Q + ">" + Q)]]),
    framed("column_close_inside_values", [
        [("a", "1</column>2"), ("b", "</column></column>"), ("c", "x</column></row>y")],
        [("a", "</column></row>"), ("b", "<column colnum=" + Q + "2" + Q + " colname=" + Q + "c" + Q + ">"),
         ("c", "z</column><column colnum=" + Q + "9" + Q + " colname=" + Q + "q" + Q + ">w")]]),
    framed("last_value_holding_a_row_end", [[("a", "v</column></row></data>")]]),
    framed("failure_without_rows", [], out=("300", "无法找到配置文件")),
    framed("success_without_rows", [], columns=5),
    framed("listing_without_out_code", [[("CenterNO", "341122"), ("HOSP_CODE", "341122001")]],
           function_id="GetCenter", out=None),
    framed("colnum_as_cliCalculate_writes_it", [[(f"c{i}", str(i)) for i in range(8)]],
           colnums=[0, 1, 7, 2, 3, 4, 5, 6]),
    framed("out_text_holding_markup", [], out=("600", "中心返回 <html><out_text></out_text></html>")),
    # The ambiguous case: a value holding </column> and the next column's
    # opening is cut there; the last column takes the rest, markup and all.
    ("ambiguous_value_holding_the_next_opening",
     document([[("a", "x</column><column colnum=" + Q + "1" + Q + " colname=" + Q + "z" + Q + ">y"), ("b", "2")]]),
     parse([[("a", "x"), ("z", "y</column><column colnum=" + Q + "1" + Q + " colname=" + Q + "b" + Q + ">2")]])),
    ("ambiguous_at_a_row_end",
     document([[("a", "x</column></row><row rownum=" + Q + "1" + Q + ">y")], [("a", "2")]]), REFUSED),
    ("ambiguous_at_the_end", document([[("a", "v</column></row></data></function>")]]), REFUSED),
    ("not_a_document", "YWJj", REFUSED),
    ("row_not_closed", document(TWO).replace("4</column></row>", "4</column>"), REFUSED),
    ("column_not_closed", document(TWO)[:document(TWO).rindex("</column>")], REFUSED),
    ("fewer_rows_than_rowcount", document(TWO).replace("rowcount=" + Q + "2", "rowcount=" + Q + "3"), REFUSED),
    # The counts are the framing's: what follows the last row counted is the
    # last value, up to the document's end.
    ("rows_beyond_rowcount", document(TWO).replace("rowcount=" + Q + "2", "rowcount=" + Q + "1"),
     parse([[("a", "1"), ("b", f"2</column></row><row rownum={Q}1{Q}>" + column(0, "a", "3") +
                                column(1, "b", "4")[:-len("</column>")])]])),
    ("fewer_columns_than_declared", document(TWO).replace("columns=" + Q + "2", "columns=" + Q + "3"), REFUSED),
    ("rows_out_of_order", document(TWO).replace("rownum=" + Q + "1", "rownum=" + Q + "7"), REFUSED),
    ("text_after_the_end", document(TWO) + " ", REFUSED),
]

# (text, None) passes byte for byte; (text, (code point, index)) is refused.
ENCODINGS = [
    ("张三 Zhang-3 阿莫西林胶囊 0.25g*24粒 ·ⅰ", None),
    ("", None),
    ("王䶮", (0x4DAE, 1)),
    ("𠮷野", (0x20BB7, 0)),
    ("ë", (0xEB, 0)),  # best fit would send "e"
    ("€", (0x20AC, 0)),  # code page 936 alone has it, as a single byte
    ("a\0b", (0, 1)),  # the library would read "a"
    ("x\ud800y", (0xD800, 1)),
]

# GBK bytes as DeEncypt returns them, and the text they read as.
DECODINGS = [
    (bytes.fromhex("d5c5c8fd"), "张三"),
    (b"A\x80B", "A\ufffdB"),
    (b"\xd5</", "\ufffd</"),
    (b"\xffA", "\ufffdA"),
    (b"A\xd5", "A\ufffd"),
    (b"\xa2\xe3\xd5\xc5", "\ufffd张"),  # A2E3 is a pair GBK assigns nothing
]

CATALOGUE_COLUMNS = ["insureId", "classNo", "grade", "name", "spec", "conf", "unit", "price", "everyMoney", "ratio",
                     "adminLevel", "isClinic", "remark", "inputPyCode", "updateTime", "inputWbCode",
                     "approveMinPrice", "approveMaxPrice"]
CATALOGUE_FILLER = "<胶>"


def hexed(text):
    if text is None:
        return "-"
    data = text if isinstance(text, bytes) else text.encode("gbk")
    return data.hex() or "."


def utf16(text):
    return text.encode("utf-16-be", "surrogatepass").hex() or "."


def catalogue(rows):
    return document([[(n, f"{r}.{c}{CATALOGUE_FILLER}") for c, n in enumerate(CATALOGUE_COLUMNS)] for r in range(rows)],
                    function_id="UpdateLeechdom")


def write(folder, rows=5000):
    """Writes cases.txt and catalogue.gbk into folder; returns the first's path."""
    big = os.path.join(folder, "catalogue.gbk")
    with open(big, "wb") as f:
        f.write(catalogue(rows).encode("gbk"))
    lines = []
    for name, doc, expected in CASES:
        lines += [f"case {name}", f"doc {hexed(doc)}"]
        if expected is REFUSED:
            lines.append("refused")
        else:
            function_id, out, rows_expected = expected
            lines.append(f"head {hexed(function_id)} {hexed(out and out[0])} {hexed(out and out[1])}")
            for row in rows_expected:
                lines.append("row")
                lines += [f"col {hexed(n)} {hexed(v)}" for n, v in row]
        lines.append("end")
    for text, refusal in ENCODINGS:
        if refusal:
            lines.append(f"encode {utf16(text)} refused {refusal[0]:04X} {refusal[1]}")
        else:
            data = text.encode("gbk")
            lines.append(f"encode {utf16(text)} gbk {hexed(data)} {base64.b64encode(data).decode() or '.'}")
    for data, text in DECODINGS:
        lines.append(f"decode {base64.b64encode(data).decode()} {utf16(text)} {hexed(data)}")
    lines.append(f"catalogue {big} {rows} {hexed(CATALOGUE_FILLER)} {' '.join(CATALOGUE_COLUMNS)}")
    path = os.path.join(folder, "cases.txt")
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")
    return path


if __name__ == "__main__":
    import sys
    print(write(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 5000))
