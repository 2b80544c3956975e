// SPDX-License-Identifier: MIT
// NvResult.Parse on the documents the library writes, edge cases first:
// exits 0 when every case reads as expected.
using System;
using System.Collections.Generic;
using NvInterFaceDll;

static class ResultParsing
{
    const string Q = "\\\"";
    const string Head = "<?xml version='1.0' encoding='gb2312'?><function><function_id>F</function_id>";

    static string Column(int colnum, string name, string value)
    {
        return "<column colnum=" + Q + colnum + Q + " colname=" + Q + name + Q + ">" + value + "</column>";
    }

    static string Row(int rownum, params string[] columns)
    {
        return "<row rownum=" + Q + rownum + Q + ">" + string.Concat(columns) + "</row>";
    }

    static string Data(int rows, int columns, params string[] body)
    {
        return "<data rowcount=" + Q + rows + Q + " columns=" + Q + columns + Q + ">" + string.Concat(body) +
               "</data></function>";
    }

    static int failures;

    static void Expect(string what, bool holds)
    {
        if (!holds)
        {
            Console.WriteLine("FAILED: " + what);
            failures++;
        }
    }

    static bool Refused(string document)
    {
        try
        {
            NvResult.Parse(document);
            return false;
        }
        catch (FormatException)
        {
            return true;
        }
    }

    static int Main()
    {
        string ok = "<out_code>000</out_code><out_text>执行成功</out_text>";
        NvResult two = NvResult.Parse(Head + ok + Data(2, 2, Row(0, Column(0, "a", "1"), Column(1, "b", "")),
                                                       Row(1, Column(0, "a", "x\"y<&'"), Column(1, "b", "张三"))));
        Expect("header", two.FunctionId == "F" && two.OutCode == "000" && two.OutText == "执行成功" && two.Succeeded);
        Expect("two rows by name", two.Rows.Count == 2 && two.Rows[0]["a"] == "1" && two.Rows[0]["b"] == "" &&
                                       two.Rows[1]["a"] == "x\"y<&'" && two.Rows[1]["b"] == "张三");
        Expect("Value reads the first row", two.Value("a") == "1" && two.Value("missing") == null);

        NvResult listing = NvResult.Parse(Head + Data(1, 1, Row(0, Column(0, "CenterNO", "341122"))));
        Expect("a listing has no out_code and succeeds", listing.OutCode == null && listing.Succeeded &&
                                                             listing.Value("CenterNO") == "341122");

        NvResult failed = NvResult.Parse(Head + "<out_code>300</out_code><out_text>无法找到配置文件</out_text>" +
                                         Data(0, 0));
        Expect("a failure: no rows", !failed.Succeeded && failed.Rows.Count == 0 && failed.OutText == "无法找到配置文件");

        NvResult outOfOrder = NvResult.Parse(Head + ok + Data(1, 2, Row(0, Column(7, "checkMoney", "3"),
                                                                             Column(2, "b", "4"))));
        Expect("columns out of colnum order", outOfOrder.Value("checkMoney") == "3" && outOfOrder.Value("b") == "4");

        Expect("not a document", Refused("YWJj"));
        Expect("a row not closed", Refused(Head + ok + "<data rowcount=" + Q + "1" + Q + " columns=" + Q + "1" + Q +
                                           "><row rownum=" + Q + "0" + Q + ">" + Column(0, "a", "1")));
        Expect("a column not closed", Refused(Head + ok + "<data rowcount=" + Q + "1" + Q + " columns=" + Q + "1" +
                                              Q + "><row rownum=" + Q + "0" + Q + "><column colnum=" + Q + "0" + Q +
                                              " colname=" + Q + "a" + Q + ">1"));
        Expect("GBK both ways", Gbk.Encoding.GetString(Gbk.Bytes("张三"), 0, 4) == "张三" &&
                                    Gbk.Bytes("张三").Length == 5 && Gbk.Bytes(null) == null);

        Console.WriteLine(failures == 0 ? "result parsing: every case holds" : "result parsing: " + failures + " failures");
        return failures == 0 ? 0 : 1;
    }
}
