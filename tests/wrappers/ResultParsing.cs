// SPDX-License-Identifier: MIT
// NvInterFace.cs held to the cases of result_cases.py (the file named first):
// each document's parse, each argument's GBK bytes or refusal, each result
// decoded, and the 5,000-row catalogue read whole in time. Exits 0 when
// every case holds.
using System;
using System.Collections.Generic;
using System.Diagnostics;
using System.IO;
using System.Text;
using NvInterFaceDll;

static class ResultParsing
{
    static int failures;

    static void Expect(string what, bool holds, string detail)
    {
        if (holds)
            return;
        Console.WriteLine("FAILED: " + what + ": " + detail);
        failures++;
    }

    static byte[] Hex(string field)
    {
        if (field == ".")
            return new byte[0];
        byte[] bytes = new byte[field.Length / 2];
        for (int i = 0; i < bytes.Length; i++)
            bytes[i] = Convert.ToByte(field.Substring(2 * i, 2), 16);
        return bytes;
    }

    static string Gb(string field)
    {
        return field == "-" ? null : Gbk.Text(Hex(field));
    }

    // UTF-16 code units as they are, lone surrogates included.
    static string Utf16(string field)
    {
        byte[] bytes = Hex(field);
        StringBuilder text = new StringBuilder();
        for (int i = 0; i < bytes.Length; i += 2)
            text.Append((char)(bytes[i] << 8 | bytes[i + 1]));
        return text.ToString();
    }

    static string Describe(NvResult r)
    {
        StringBuilder text = new StringBuilder(r.FunctionId + " | " + r.OutCode + " | " + r.OutText);
        foreach (Dictionary<string, string> row in r.Rows)
        {
            text.Append("\n  row:");
            foreach (KeyValuePair<string, string> column in row)
                text.Append(" [" + column.Key + "=" + column.Value + "]");
        }
        return text.ToString();
    }

    // case NAME / doc / refused or head and rows / end: returns the last line read.
    static int Case(string[] lines, int at)
    {
        string name = lines[at].Split(' ')[1];
        string document = Gb(lines[++at].Split(' ')[1]);
        NvResult parsed = null;
        string problem = "";
        try
        {
            parsed = NvResult.Parse(document);
        }
        catch (FormatException e)
        {
            problem = e.Message;
        }
        string[] head = lines[++at].Split(' ');
        if (head[0] == "refused")
        {
            Expect(name + " is refused", parsed == null, parsed == null ? "" : Describe(parsed));
            return at;
        }
        List<List<string[]>> rows = new List<List<string[]>>();
        for (string[] f; (f = lines[++at].Split(' '))[0] != "end";)
            if (f[0] == "row")
                rows.Add(new List<string[]>());
            else
                rows[rows.Count - 1].Add(new string[] { Gb(f[1]), Gb(f[2]) });
        bool holds = parsed != null && parsed.FunctionId == Gb(head[1]) && parsed.OutCode == Gb(head[2]) &&
                     parsed.OutText == Gb(head[3]) && parsed.Rows.Count == rows.Count &&
                     parsed.Succeeded == (head[2] == "-" || Gb(head[2]) == "000") && parsed.Value("no such") == null &&
                     (rows.Count == 0 || parsed.Value(rows[0][0][0]) == rows[0][0][1]);
        for (int r = 0; holds && r < rows.Count; r++)
        {
            holds = parsed.Rows[r].Count == rows[r].Count;
            foreach (string[] column in rows[r])
            {
                string value;
                holds = holds && parsed.Rows[r].TryGetValue(column[0], out value) && value == column[1];
            }
        }
        Expect(name + " reads as framed", holds, parsed == null ? problem : Describe(parsed));
        return at;
    }

    // encode TEXT gbk BYTES BASE64, or encode TEXT refused CODEPOINT INDEX.
    static void Encode(string[] f)
    {
        string text = Utf16(f[1]);
        if (f[2] == "gbk")
        {
            byte[] bytes = Gbk.Bytes(text, "memberName");
            Expect(f[1] + " as GBK", Convert.ToBase64String(bytes, 0, bytes.Length - 1) ==
                                     Convert.ToBase64String(Hex(f[3])) && bytes[bytes.Length - 1] == 0, "");
            string sent = NvInterFace.Encypt(text);
            Expect(f[1] + " reaches the library byte for byte", sent == (f[4] == "." ? "" : f[4]), sent);
            return;
        }
        int codePoint = Convert.ToInt32(f[3], 16);
        int index = int.Parse(f[4]);
        try
        {
            Gbk.Bytes(text, "memberName");
            Expect(f[1] + " is refused", false, "it was encoded");
        }
        catch (GbkArgumentException e)
        {
            Expect(f[1] + " is refused naming the argument and character",
                   e.ParamName == "memberName" && e.CodePoint == codePoint && e.Index == index &&
                       e.Message.Contains("memberName") && e.Message.Contains("U+" + codePoint.ToString("X4")),
                   e.Message + " (" + e.CodePoint.ToString("X") + " at " + e.Index + ")");
        }
    }

    static void Catalogue(string[] f)
    {
        int rows = int.Parse(f[2]);
        string filler = Gb(f[3]);
        Stopwatch clock = Stopwatch.StartNew();
        NvResult catalogue = NvResult.Parse(Gbk.Text(File.ReadAllBytes(f[1])));
        long parsed = clock.ElapsedMilliseconds;
        bool holds = catalogue.Rows.Count == rows;
        for (int r = 0; holds && r < rows; r++)
            for (int c = 4; c < f.Length; c++)
                holds = holds && catalogue.Rows[r][f[c]] == r + "." + (c - 4) + filler;
        long read = clock.ElapsedMilliseconds;
        Console.WriteLine("catalogue of " + rows + " rows: decoded and parsed in " + parsed + " ms, every value read by " +
                          read + " ms");
        Expect("every value of the catalogue", holds, "");
        Expect("the catalogue within 2 s", read < 2000, read + " ms");
    }

    static int Main(string[] args)
    {
        string[] lines = File.ReadAllLines(args[0]);
        for (int at = 0; at < lines.Length; at++)
        {
            string[] f = lines[at].Split(' ');
            if (f[0] == "case")
                at = Case(lines, at);
            else if (f[0] == "encode")
                Encode(f);
            else if (f[0] == "decode")
                Expect(f[1] + " decoded", NvInterFace.DeEncypt(f[1]) == Utf16(f[2]), NvInterFace.DeEncypt(f[1]));
            else if (f[0] == "catalogue")
                Catalogue(f);
        }
        Expect("null stays null", Gbk.Bytes(null, "memberName") == null, "");
        try
        {
            NvInterFace.GetPersonInfo("341122000123", "\u738B\u4DAE", "341122");
            Expect("GetPersonInfo refuses its operatorName", false, "it was sent");
        }
        catch (GbkArgumentException e)
        {
            Expect("GetPersonInfo's refusal names operatorName", e.ParamName == "operatorName", e.Message);
        }
        Console.WriteLine(failures == 0 ? "result parsing: every case holds" : "result parsing: " + failures + " failures");
        return failures == 0 ? 0 : 1;
    }
}
