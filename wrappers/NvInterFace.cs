// SPDX-License-Identifier: MIT
// NvInterFace.cs: every export of NvInterFace.dll for C#, with GBK texts
// and the result document read into an NvResult.
//
// For .NET Framework 4.0 and later and .NET 6 and later alike (C# 4, no
// package needed), x86 and x64: put x86\NvInterFace.dll or
// x64\NvInterFace.dll, matching the process, beside the program. The
// library is named without extension, so the same file loads
// NvInterFace.dll on Windows and libNvInterFace.so elsewhere.
//
//   NvResult r = NvInterFace.GetPersonInfo("341122000123", "op01", "341122");
//   if (r.OutCode == "000") foreach (var row in r.Rows) Console.WriteLine(row["name"]);
//
// Why byte[] and IntPtr, never string: a string argument would be sent in
// the machine's ANSI code page (GBK only on a Chinese-configured Windows),
// and a string result would be freed with CoTaskMemFree, which corrupts the
// heap: the library's texts are released only by freeResult.
//
// Text GBK cannot carry is refused, never sent changed: an argument holding
// such a character (U+4DAE, U+20BB7, or U+00EB, which best fit would send
// as "e") throws GbkArgumentException, an ArgumentException whose ParamName
// is the parameter's name as declared here and whose message names the
// character ("operatorName holds U+4DAE at 1, ..."); so does a NUL, where
// the library would end the text. In a result, a byte that is not GBK
// reads as U+FFFD (Gbk.TakeBytes keeps the bytes).
//
// The result document is read by its framing, in order, not as XML: no
// value is escaped, so a value ends at the "</column>" followed by what
// must come next: the next column's opening (<column colnum=\"N\"
// colname=\") within a row, </row><row rownum=\"r+1\"> after a row's
// last column, </row></data></function> at the document's end. A value
// holding markup, "</column>" included, is read whole. The one case that
// stays ambiguous: a value that itself holds "</column>" followed by what
// must come next; it is cut there (see NvResult).
using System;
using System.Collections.Generic;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text;

namespace NvInterFaceDll
{
    // The exports exactly as the library declares them: each text argument
    // a NUL-terminated GBK byte[] (null counts as the empty text), each
    // result a block of the library's that only freeResult may release.
    // Every declaration has exactly the export's number of arguments: on
    // x86 the callee removes them from the stack (__stdcall).
    public static class NvNative
    {
        public const string Dll = "NvInterFace";

        // BEGIN nv_export_files: native declarations (written from the export sheets by nv_export_files; do not edit by hand)
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr Encypt(byte[] text);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr DeEncypt(byte[] base64Text);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr getCenter(byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr getAllCenter();

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr getPersonInfo(byte[] medicalCertNo, byte[] operatorName, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr getHospitalInfo(byte[] hospitalName, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliRegister(byte[] regType, byte[] clinicNo, byte[] centreCode, byte[] hisClinicNo, byte[] familyNo, byte[] memberNo, byte[] countryNo, byte[] memberName, byte[] sexCode, byte[] idCard, byte[] age, byte[] medicalCertNo, byte[] cardNo, byte[] firstIcdNo, byte[] secondIcdNo, byte[] inOfficeNo, byte[] clinicDate, byte[] clinicDoctor, byte[] cureCode, byte[] inHosId, byte[] turnLevel, byte[] turnHosNo);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliDetailInput(byte[] type, byte[] centreCode, byte[] clinicNo, byte[] clinicRxNo, byte[] detailNo, byte[] hisItemCode, byte[] insureItemCode, byte[] feeClassCode, byte[] itemName, byte[] itemSpec, byte[] itemUnit, byte[] itemConf, byte[] price, byte[] quantity, byte[] money, byte[] factMoney, byte[] useDate, byte[] enableRatio, byte[] enableMoney);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliDetailSeek(byte[] clinicNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliCancelFee(byte[] clinicNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliSingleCancleFee(byte[] detailNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliCalculate(byte[] clinicNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliSettlement(byte[] clinicNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliCancelSettlement(byte[] settlementNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliSeek(byte[] memberCode, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliAuditingSeek(byte[] settlementNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr isCashRedeem(byte[] settlementNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliBalance(byte[] clinicNo, byte[] familyAccountGeld, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr cliStrikeBalance(byte[] settlementNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpRegister(byte[] opType, byte[] inpatientSn, byte[] centreCode, byte[] hisVisitNo, byte[] memberName, byte[] familyNo, byte[] memberNo, byte[] countryTeamCode, byte[] sexCode, byte[] idCard, byte[] age, byte[] medicalCertNo, byte[] cardNo, byte[] icdNo, byte[] opsNo, byte[] inOfficeNo, byte[] admissionDate, byte[] cureCode, byte[] inHosState, byte[] cureDoctor, byte[] bedNo, byte[] sectionNo, byte[] dischargeDate, byte[] days, byte[] outOfficeNo, byte[] outHosState, byte[] turnType, byte[] turnOrgNo, byte[] turnDate, byte[] ticketNo, byte[] ministerNotice, byte[] procreateNotice);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpRegisterB(byte[] packedRegistration);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpDetailInput(byte[] opType, byte[] inpatientSn, byte[] centreCode, byte[] inpatientRxNo, byte[] detailId, byte[] hisItemCode, byte[] insureItemCode, byte[] feeClassCode, byte[] itemName, byte[] itemSpec, byte[] itemUnit, byte[] itemConf, byte[] price, byte[] quantity, byte[] money, byte[] factMoney, byte[] useDate, byte[] enableRatio, byte[] enableMoney);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpDetailSeek(byte[] inpatientSn, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpSingleCancelFee(byte[] detailNo, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpCancelFee(byte[] inpatientSn, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr calculate(byte[] inpatientSn, byte[] centreCode, byte[] redeemType);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr inpPay(byte[] inpatientSn, byte[] redeemType, byte[] redeemDate, byte[] acceptMan, byte[] acceptDate, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr auditingSeek(byte[] inpatientSn, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr updateDisease(byte[] lastTime, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr updateLeechdom(byte[] lastTime, byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr getInpatientGradeList(byte[] centreCode, byte[] inpatientSn);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr matchUpdate(byte[] centreCode, byte[] code, byte[] hisCode, byte[] hisName, byte[] hisSpec, byte[] hisUnit, byte[] hisConf, byte[] hisPrice);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr matchSeek(byte[] centreCode, byte[] code, byte[] hisCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr redeemTypeDown(byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr officeCodeDown(byte[] centreCode);

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr connectTesting(byte[] centreCode);
        // END nv_export_files: native declarations

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void freeResult(IntPtr result);
    }

    // GBK, code page 936, and nothing it cannot carry. Encoding throws where
    // a character has no GBK form (EncoderFallback.ExceptionFallback), which
    // also keeps .NET Framework from its best-fit look-alikes ("e" for
    // U+00EB); the bytes are then checked to read back as the same text, in
    // ASCII and two-byte characters only, for a runtime that substitutes
    // anyway (code page 936 alone has a one-byte U+20AC, which GBK has not).
    // An argument GBK cannot carry is refused with a GbkArgumentException
    // naming it and the character, never sent with "?" in its place; so is
    // a NUL, at which the library would end the text.
    //
    // Decoding: a byte that starts no GBK character, or a two-byte sequence
    // GBK gives no character, reads as U+FFFD, one per such byte or pair,
    // and every other byte as its character; TakeBytes keeps the bytes as
    // they are.
    //
    // Code page 936 is built into .NET Framework and Mono; .NET Core and
    // .NET 5 and later (.NET 6+ included) have it only from the shared
    // framework's CodePagesEncodingProvider, registered here through
    // reflection so that this file still compiles against .NET Framework
    // 4.0, which has no Encoding.RegisterProvider.
    public static class Gbk
    {
        public static readonly Encoding Encoding = Find();

        static Encoding Find()
        {
            try
            {
                return Strict();
            }
            catch (NotSupportedException)
            {
            }
            catch (ArgumentException)
            {
            }
            Type provider = Type.GetType("System.Text.CodePagesEncodingProvider, System.Text.Encoding.CodePages");
            MethodInfo register = typeof(Encoding).GetMethod("RegisterProvider");
            if (provider == null || register == null)
                throw new NotSupportedException("GBK (code page 936) is not available on this runtime");
            register.Invoke(null, new object[] { provider.GetProperty("Instance").GetValue(null, null) });
            return Strict();
        }

        static Encoding Strict()
        {
            return Encoding.GetEncoding(936, EncoderFallback.ExceptionFallback, new DecoderReplacementFallback("\uFFFD"));
        }

        // The GBK bytes of a text with its terminating NUL; null stays null.
        public static byte[] Bytes(string text)
        {
            return Bytes(text, "text");
        }

        // The same for the argument of that name, which a refusal names.
        public static byte[] Bytes(string text, string argumentName)
        {
            if (text == null)
                return null;
            byte[] bytes = Carried(text);
            if (bytes == null)
                throw Refusal(text, argumentName);
            Array.Resize(ref bytes, bytes.Length + 1);
            return bytes;
        }

        // The GBK bytes of text when they read back as text; null otherwise.
        static byte[] Carried(string text)
        {
            if (text.IndexOf('\0') >= 0)
                return null;
            byte[] bytes;
            try
            {
                bytes = Encoding.GetBytes(text);
            }
            catch (EncoderFallbackException)
            {
                return null;
            }
            for (int at = 0; at < bytes.Length; at += SequenceLength(bytes, at))
                if (SequenceLength(bytes, at) == 0)
                    return null;
            return Encoding.GetString(bytes) == text ? bytes : null;
        }

        // The first character, or surrogate pair, that GBK cannot carry alone.
        static GbkArgumentException Refusal(string text, string argumentName)
        {
            for (int at = 0; at < text.Length;)
            {
                int units = char.IsSurrogatePair(text, at) ? 2 : 1;
                if (Carried(text.Substring(at, units)) == null)
                    return new GbkArgumentException(argumentName, units == 2 ? char.ConvertToUtf32(text[at], text[at + 1])
                                                                              : text[at], at);
                at += units;
            }
            return new GbkArgumentException(argumentName, -1, -1);
        }

        // 1 for an ASCII byte, 2 for a GBK lead and trail byte, 0 for a byte
        // that starts no GBK character.
        static int SequenceLength(byte[] bytes, int at)
        {
            int lead = bytes[at];
            if (lead < 0x80)
                return 1;
            if (lead == 0x80 || lead == 0xFF || at + 1 >= bytes.Length)
                return 0;
            int trail = bytes[at + 1];
            return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 0;
        }

        // The text of GBK bytes, U+FFFD for what is not GBK (see above).
        public static string Text(byte[] bytes)
        {
            StringBuilder text = new StringBuilder(bytes.Length);
            for (int at = 0; at < bytes.Length;)
            {
                int end = at;
                while (end < bytes.Length && SequenceLength(bytes, end) > 0)
                    end += SequenceLength(bytes, end);
                AppendCharacters(text, bytes, at, end);
                if (end < bytes.Length)
                {
                    text.Append('\uFFFD');
                    end++;
                }
                at = end;
            }
            return text.ToString();
        }

        // Bytes from..to, whole characters: decoded at once when that reads
        // back as the same bytes, else pair by pair.
        static void AppendCharacters(StringBuilder text, byte[] bytes, int from, int to)
        {
            if (from == to)
                return;
            string run = Encoding.GetString(bytes, from, to - from);
            if (ReadsBackAs(run, bytes, from, to))
            {
                text.Append(run);
                return;
            }
            for (int at = from; at < to; at += SequenceLength(bytes, at))
            {
                string one = Encoding.GetString(bytes, at, SequenceLength(bytes, at));
                text.Append(ReadsBackAs(one, bytes, at, at + SequenceLength(bytes, at)) ? one : "\uFFFD");
            }
        }

        static bool ReadsBackAs(string text, byte[] bytes, int from, int to)
        {
            byte[] back;
            try
            {
                back = Encoding.GetBytes(text);
            }
            catch (EncoderFallbackException)
            {
                return false;
            }
            if (back.Length != to - from)
                return false;
            for (int i = 0; i < back.Length; i++)
                if (back[i] != bytes[from + i])
                    return false;
            return true;
        }

        // Copies a text the library returned, as it is, and releases it with
        // freeResult. The library returns no text only when memory runs out.
        public static byte[] TakeBytes(IntPtr result)
        {
            if (result == IntPtr.Zero)
                throw new OutOfMemoryException("NvInterFace returned no text");
            try
            {
                int length = 0;
                while (Marshal.ReadByte(result, length) != 0)
                    length++;
                byte[] bytes = new byte[length];
                Marshal.Copy(result, bytes, 0, length);
                return bytes;
            }
            finally
            {
                NvNative.freeResult(result);
            }
        }

        // The same decoded from GBK.
        public static string Take(IntPtr result)
        {
            return Text(TakeBytes(result));
        }
    }

    // An argument refused because GBK cannot carry it: ParamName is the
    // argument's name as declared, CodePoint the character (a surrogate
    // pair's code point; 0 for a NUL) and Index its place in the string.
    public sealed class GbkArgumentException : ArgumentException
    {
        public readonly int CodePoint;
        public readonly int Index;

        public GbkArgumentException(string argumentName, int codePoint, int index)
            : base(Describe(argumentName, codePoint, index), argumentName)
        {
            CodePoint = codePoint;
            Index = index;
        }

        static string Describe(string argumentName, int codePoint, int index)
        {
            if (codePoint < 0)
                return argumentName + " does not read back from GBK as it is: refused, not sent changed";
            if (codePoint == 0)
                return argumentName + " holds U+0000 at " + index + ", where the library would end the text: refused";
            return argumentName + " holds U+" + codePoint.ToString("X4") + " at " + index +
                   ", which GBK cannot carry: refused, not sent as \"?\"";
        }
    }

    // A result document read: function_id, out_code, out_text and the rows,
    // each a column name to value map. Attribute values are enclosed by the
    // two characters \" (backslash, quote), which XML parsers reject, and
    // no value is escaped: the document is read as the library frames it,
    // in order, and each value ends at the "</column>" followed by what
    // must come next: the next column's opening (<column colnum=\"N\"
    // colname=\", N as written: cliCalculate writes 0, 1, 7, 2 ...) within
    // a row, "</row><row rownum=\"r+1\">" after a row's last column, and
    // "</row></data></function>" after the last row's, which ends the
    // document. So a value holding markup, "</column>" included, is read
    // whole. The counts are the framing's: rows beyond rowcount are the
    // last value's text.
    //
    // The one case that stays ambiguous: a value that itself holds
    // "</column>" followed by what must come after it. It is cut there and
    // the rest is read as markup: within a row the text after it becomes
    // the next column, under the name that markup gives, and the row's last
    // column takes what remains up to its own end, markup and all; at a
    // row's or the document's end the document is refused (FormatException)
    // unless what follows reads as framing too.
    public sealed class NvResult
    {
        public string Document;
        public string FunctionId;
        public string OutCode;  // null when absent: getCenter and getAllCenter write none on success
        public string OutText;
        public List<Dictionary<string, string>> Rows = new List<Dictionary<string, string>>();

        // "000", or no out_code at all (a centre listing).
        public bool Succeeded
        {
            get { return OutCode == null || OutCode == "000"; }
        }

        // A column of the first row; null when there is no such row or column.
        public string Value(string colname)
        {
            string value;
            return Rows.Count > 0 && Rows[0].TryGetValue(colname, out value) ? value : null;
        }

        public static NvResult Take(IntPtr result)
        {
            return Parse(Gbk.Take(result));
        }

        const string Quote = "\\\"";
        const string DataOpen = "<data rowcount=" + Quote;
        const string RowOpen = "<row rownum=" + Quote;
        const string ColumnOpen = "<column colnum=" + Quote;
        const string ColumnName = Quote + " colname=" + Quote;
        const string TagEnd = Quote + ">";
        const string ColumnClose = "</column>";
        const string RowClose = "</row>";
        const string DocumentEnd = "</data></function>";

        // Reads a result document; FormatException when the text is not one.
        public static NvResult Parse(string document)
        {
            if (document == null)
                throw new ArgumentNullException("document");
            NvResult result = new NvResult();
            result.Document = document;
            int at = document.IndexOf("<function><function_id>", StringComparison.Ordinal);
            if (at < 0)
                throw Malformed(document, 0, "<function><function_id>");
            at += "<function>".Length;
            result.FunctionId = Element(document, ref at, "function_id", "<out_code>", "<out_text>", DataOpen);
            if (Opens(document, at, "<out_code>"))
                result.OutCode = Element(document, ref at, "out_code", "<out_text>", DataOpen);
            if (Opens(document, at, "<out_text>"))
                result.OutText = Element(document, ref at, "out_text", DataOpen);
            Skip(document, ref at, DataOpen);
            int rowCount = Number(document, ref at);
            Skip(document, ref at, Quote + " columns=" + Quote);
            int columnCount = Number(document, ref at);
            Skip(document, ref at, TagEnd);
            for (int rownum = 0; rownum < rowCount; rownum++)
            {
                Skip(document, ref at, RowOpen + rownum + TagEnd);
                Dictionary<string, string> row = new Dictionary<string, string>();
                for (int column = 0; column < columnCount; column++)
                {
                    Skip(document, ref at, ColumnOpen);
                    Number(document, ref at);
                    Skip(document, ref at, ColumnName);
                    int nameEnd = document.IndexOf(TagEnd, at, StringComparison.Ordinal);
                    if (nameEnd < 0)
                        throw Malformed(document, at, TagEnd);
                    string name = document.Substring(at, nameEnd - at);
                    at = nameEnd + TagEnd.Length;
                    int valueEnd;
                    if (column + 1 < columnCount)
                        valueEnd = ValueEndBeforeColumn(document, at);
                    else if (rownum + 1 < rowCount)
                        valueEnd = ValueEnd(document, at, ColumnClose + RowClose + RowOpen + (rownum + 1) + TagEnd);
                    else
                        valueEnd = ValueEnd(document, at, ColumnClose + RowClose + DocumentEnd);
                    row[name] = document.Substring(at, valueEnd - at);
                    at = valueEnd + ColumnClose.Length;
                }
                Skip(document, ref at, RowClose);
                result.Rows.Add(row);
            }
            Skip(document, ref at, DocumentEnd);
            if (at != document.Length)
                throw Malformed(document, at, "the end");
            return result;
        }

        // The text of the head element at `at`, up to its closing tag
        // followed by one of next; at moves past the closing tag.
        static string Element(string document, ref int at, string name, params string[] next)
        {
            Skip(document, ref at, "<" + name + ">");
            string close = "</" + name + ">";
            for (int end = at; (end = document.IndexOf(close, end, StringComparison.Ordinal)) >= 0; end++)
                foreach (string following in next)
                    if (Opens(document, end + close.Length, following))
                    {
                        string text = document.Substring(at, end - at);
                        at = end + close.Length;
                        return text;
                    }
            throw Malformed(document, at, close);
        }

        // Where the value from `from` ends: the first "</column>" that `next` follows.
        static int ValueEnd(string document, int from, string closeAndNext)
        {
            int end = document.IndexOf(closeAndNext, from, StringComparison.Ordinal);
            if (end < 0)
                throw Malformed(document, from, closeAndNext);
            return end;
        }

        static int ValueEndBeforeColumn(string document, int from)
        {
            for (int end = from; (end = document.IndexOf(ColumnClose, end, StringComparison.Ordinal)) >= 0; end++)
            {
                int at = end + ColumnClose.Length;
                if (!Opens(document, at, ColumnOpen))
                    continue;
                at += ColumnOpen.Length;
                int digits = at;
                while (at < document.Length && document[at] >= '0' && document[at] <= '9')
                    at++;
                if (at > digits && Opens(document, at, ColumnName))
                    return end;
            }
            throw Malformed(document, from, ColumnClose + ColumnOpen);
        }

        static bool Opens(string document, int at, string text)
        {
            return at + text.Length <= document.Length &&
                   string.CompareOrdinal(document, at, text, 0, text.Length) == 0;
        }

        static void Skip(string document, ref int at, string text)
        {
            if (!Opens(document, at, text))
                throw Malformed(document, at, text);
            at += text.Length;
        }

        // A count or number of up to 9 digits.
        static int Number(string document, ref int at)
        {
            int value = 0;
            int start = at;
            while (at < document.Length && document[at] >= '0' && document[at] <= '9' && at - start < 9)
                value = value * 10 + (document[at++] - '0');
            if (at == start || (at < document.Length && document[at] >= '0' && document[at] <= '9'))
                throw Malformed(document, start, "a number");
            return value;
        }

        static FormatException Malformed(string document, int at, string expected)
        {
            string seen = document.Substring(at, Math.Min(60, document.Length - at));
            return new FormatException("not a result document: " + expected + " expected at " + at + ", where it reads \"" +
                                       seen + "\"");
        }
    }

    // Every export with .NET strings: arguments encoded as GBK (a
    // GbkArgumentException naming the argument when GBK cannot carry it),
    // results decoded and released. Parameter names and order are
    // NvInterFace.h's.
    public static class NvInterFace
    {
        // BEGIN nv_export_files: string methods (written from the export sheets by nv_export_files; do not edit by hand)
        public static string Encypt(string text)
        {
            return Gbk.Take(NvNative.Encypt(Gbk.Bytes(text, "text")));
        }

        public static string DeEncypt(string base64Text)
        {
            return Gbk.Take(NvNative.DeEncypt(Gbk.Bytes(base64Text, "base64Text")));
        }

        public static NvResult GetCenter(string centreCode)
        {
            return NvResult.Take(NvNative.getCenter(Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult GetAllCenter()
        {
            return NvResult.Take(NvNative.getAllCenter());
        }

        public static NvResult GetPersonInfo(string medicalCertNo, string operatorName, string centreCode)
        {
            return NvResult.Take(NvNative.getPersonInfo(Gbk.Bytes(medicalCertNo, "medicalCertNo"), Gbk.Bytes(operatorName, "operatorName"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult GetHospitalInfo(string hospitalName, string centreCode)
        {
            return NvResult.Take(NvNative.getHospitalInfo(Gbk.Bytes(hospitalName, "hospitalName"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliRegister(string regType, string clinicNo, string centreCode, string hisClinicNo, string familyNo, string memberNo, string countryNo, string memberName, string sexCode, string idCard, string age, string medicalCertNo, string cardNo, string firstIcdNo, string secondIcdNo, string inOfficeNo, string clinicDate, string clinicDoctor, string cureCode, string inHosId, string turnLevel, string turnHosNo)
        {
            return NvResult.Take(NvNative.cliRegister(Gbk.Bytes(regType, "regType"), Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(hisClinicNo, "hisClinicNo"), Gbk.Bytes(familyNo, "familyNo"), Gbk.Bytes(memberNo, "memberNo"), Gbk.Bytes(countryNo, "countryNo"), Gbk.Bytes(memberName, "memberName"), Gbk.Bytes(sexCode, "sexCode"), Gbk.Bytes(idCard, "idCard"), Gbk.Bytes(age, "age"), Gbk.Bytes(medicalCertNo, "medicalCertNo"), Gbk.Bytes(cardNo, "cardNo"), Gbk.Bytes(firstIcdNo, "firstIcdNo"), Gbk.Bytes(secondIcdNo, "secondIcdNo"), Gbk.Bytes(inOfficeNo, "inOfficeNo"), Gbk.Bytes(clinicDate, "clinicDate"), Gbk.Bytes(clinicDoctor, "clinicDoctor"), Gbk.Bytes(cureCode, "cureCode"), Gbk.Bytes(inHosId, "inHosId"), Gbk.Bytes(turnLevel, "turnLevel"), Gbk.Bytes(turnHosNo, "turnHosNo")));
        }

        public static NvResult CliDetailInput(string type, string centreCode, string clinicNo, string clinicRxNo, string detailNo, string hisItemCode, string insureItemCode, string feeClassCode, string itemName, string itemSpec, string itemUnit, string itemConf, string price, string quantity, string money, string factMoney, string useDate, string enableRatio, string enableMoney)
        {
            return NvResult.Take(NvNative.cliDetailInput(Gbk.Bytes(type, "type"), Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(clinicRxNo, "clinicRxNo"), Gbk.Bytes(detailNo, "detailNo"), Gbk.Bytes(hisItemCode, "hisItemCode"), Gbk.Bytes(insureItemCode, "insureItemCode"), Gbk.Bytes(feeClassCode, "feeClassCode"), Gbk.Bytes(itemName, "itemName"), Gbk.Bytes(itemSpec, "itemSpec"), Gbk.Bytes(itemUnit, "itemUnit"), Gbk.Bytes(itemConf, "itemConf"), Gbk.Bytes(price, "price"), Gbk.Bytes(quantity, "quantity"), Gbk.Bytes(money, "money"), Gbk.Bytes(factMoney, "factMoney"), Gbk.Bytes(useDate, "useDate"), Gbk.Bytes(enableRatio, "enableRatio"), Gbk.Bytes(enableMoney, "enableMoney")));
        }

        public static NvResult CliDetailSeek(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliDetailSeek(Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliCancelFee(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliCancelFee(Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliSingleCancleFee(string detailNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliSingleCancleFee(Gbk.Bytes(detailNo, "detailNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliCalculate(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliCalculate(Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliSettlement(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliSettlement(Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliCancelSettlement(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliCancelSettlement(Gbk.Bytes(settlementNo, "settlementNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliSeek(string memberCode, string centreCode)
        {
            return NvResult.Take(NvNative.cliSeek(Gbk.Bytes(memberCode, "memberCode"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliAuditingSeek(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliAuditingSeek(Gbk.Bytes(settlementNo, "settlementNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult IsCashRedeem(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.isCashRedeem(Gbk.Bytes(settlementNo, "settlementNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliBalance(string clinicNo, string familyAccountGeld, string centreCode)
        {
            return NvResult.Take(NvNative.cliBalance(Gbk.Bytes(clinicNo, "clinicNo"), Gbk.Bytes(familyAccountGeld, "familyAccountGeld"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult CliStrikeBalance(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliStrikeBalance(Gbk.Bytes(settlementNo, "settlementNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult InpRegister(string opType, string inpatientSn, string centreCode, string hisVisitNo, string memberName, string familyNo, string memberNo, string countryTeamCode, string sexCode, string idCard, string age, string medicalCertNo, string cardNo, string icdNo, string opsNo, string inOfficeNo, string admissionDate, string cureCode, string inHosState, string cureDoctor, string bedNo, string sectionNo, string dischargeDate, string days, string outOfficeNo, string outHosState, string turnType, string turnOrgNo, string turnDate, string ticketNo, string ministerNotice, string procreateNotice)
        {
            return NvResult.Take(NvNative.inpRegister(Gbk.Bytes(opType, "opType"), Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(hisVisitNo, "hisVisitNo"), Gbk.Bytes(memberName, "memberName"), Gbk.Bytes(familyNo, "familyNo"), Gbk.Bytes(memberNo, "memberNo"), Gbk.Bytes(countryTeamCode, "countryTeamCode"), Gbk.Bytes(sexCode, "sexCode"), Gbk.Bytes(idCard, "idCard"), Gbk.Bytes(age, "age"), Gbk.Bytes(medicalCertNo, "medicalCertNo"), Gbk.Bytes(cardNo, "cardNo"), Gbk.Bytes(icdNo, "icdNo"), Gbk.Bytes(opsNo, "opsNo"), Gbk.Bytes(inOfficeNo, "inOfficeNo"), Gbk.Bytes(admissionDate, "admissionDate"), Gbk.Bytes(cureCode, "cureCode"), Gbk.Bytes(inHosState, "inHosState"), Gbk.Bytes(cureDoctor, "cureDoctor"), Gbk.Bytes(bedNo, "bedNo"), Gbk.Bytes(sectionNo, "sectionNo"), Gbk.Bytes(dischargeDate, "dischargeDate"), Gbk.Bytes(days, "days"), Gbk.Bytes(outOfficeNo, "outOfficeNo"), Gbk.Bytes(outHosState, "outHosState"), Gbk.Bytes(turnType, "turnType"), Gbk.Bytes(turnOrgNo, "turnOrgNo"), Gbk.Bytes(turnDate, "turnDate"), Gbk.Bytes(ticketNo, "ticketNo"), Gbk.Bytes(ministerNotice, "ministerNotice"), Gbk.Bytes(procreateNotice, "procreateNotice")));
        }

        public static NvResult InpRegisterB(string packedRegistration)
        {
            return NvResult.Take(NvNative.inpRegisterB(Gbk.Bytes(packedRegistration, "packedRegistration")));
        }

        public static NvResult InpDetailInput(string opType, string inpatientSn, string centreCode, string inpatientRxNo, string detailId, string hisItemCode, string insureItemCode, string feeClassCode, string itemName, string itemSpec, string itemUnit, string itemConf, string price, string quantity, string money, string factMoney, string useDate, string enableRatio, string enableMoney)
        {
            return NvResult.Take(NvNative.inpDetailInput(Gbk.Bytes(opType, "opType"), Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(inpatientRxNo, "inpatientRxNo"), Gbk.Bytes(detailId, "detailId"), Gbk.Bytes(hisItemCode, "hisItemCode"), Gbk.Bytes(insureItemCode, "insureItemCode"), Gbk.Bytes(feeClassCode, "feeClassCode"), Gbk.Bytes(itemName, "itemName"), Gbk.Bytes(itemSpec, "itemSpec"), Gbk.Bytes(itemUnit, "itemUnit"), Gbk.Bytes(itemConf, "itemConf"), Gbk.Bytes(price, "price"), Gbk.Bytes(quantity, "quantity"), Gbk.Bytes(money, "money"), Gbk.Bytes(factMoney, "factMoney"), Gbk.Bytes(useDate, "useDate"), Gbk.Bytes(enableRatio, "enableRatio"), Gbk.Bytes(enableMoney, "enableMoney")));
        }

        public static NvResult InpDetailSeek(string inpatientSn, string centreCode)
        {
            return NvResult.Take(NvNative.inpDetailSeek(Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult InpSingleCancelFee(string detailNo, string centreCode)
        {
            return NvResult.Take(NvNative.inpSingleCancelFee(Gbk.Bytes(detailNo, "detailNo"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult InpCancelFee(string inpatientSn, string centreCode)
        {
            return NvResult.Take(NvNative.inpCancelFee(Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult Calculate(string inpatientSn, string centreCode, string redeemType)
        {
            return NvResult.Take(NvNative.calculate(Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(redeemType, "redeemType")));
        }

        public static NvResult InpPay(string inpatientSn, string redeemType, string redeemDate, string acceptMan, string acceptDate, string centreCode)
        {
            return NvResult.Take(NvNative.inpPay(Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(redeemType, "redeemType"), Gbk.Bytes(redeemDate, "redeemDate"), Gbk.Bytes(acceptMan, "acceptMan"), Gbk.Bytes(acceptDate, "acceptDate"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult AuditingSeek(string inpatientSn, string centreCode)
        {
            return NvResult.Take(NvNative.auditingSeek(Gbk.Bytes(inpatientSn, "inpatientSn"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult UpdateDisease(string lastTime, string centreCode)
        {
            return NvResult.Take(NvNative.updateDisease(Gbk.Bytes(lastTime, "lastTime"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult UpdateLeechdom(string lastTime, string centreCode)
        {
            return NvResult.Take(NvNative.updateLeechdom(Gbk.Bytes(lastTime, "lastTime"), Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult GetInpatientGradeList(string centreCode, string inpatientSn)
        {
            return NvResult.Take(NvNative.getInpatientGradeList(Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(inpatientSn, "inpatientSn")));
        }

        public static NvResult MatchUpdate(string centreCode, string code, string hisCode, string hisName, string hisSpec, string hisUnit, string hisConf, string hisPrice)
        {
            return NvResult.Take(NvNative.matchUpdate(Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(code, "code"), Gbk.Bytes(hisCode, "hisCode"), Gbk.Bytes(hisName, "hisName"), Gbk.Bytes(hisSpec, "hisSpec"), Gbk.Bytes(hisUnit, "hisUnit"), Gbk.Bytes(hisConf, "hisConf"), Gbk.Bytes(hisPrice, "hisPrice")));
        }

        public static NvResult MatchSeek(string centreCode, string code, string hisCode)
        {
            return NvResult.Take(NvNative.matchSeek(Gbk.Bytes(centreCode, "centreCode"), Gbk.Bytes(code, "code"), Gbk.Bytes(hisCode, "hisCode")));
        }

        public static NvResult RedeemTypeDown(string centreCode)
        {
            return NvResult.Take(NvNative.redeemTypeDown(Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult OfficeCodeDown(string centreCode)
        {
            return NvResult.Take(NvNative.officeCodeDown(Gbk.Bytes(centreCode, "centreCode")));
        }

        public static NvResult ConnectTesting(string centreCode)
        {
            return NvResult.Take(NvNative.connectTesting(Gbk.Bytes(centreCode, "centreCode")));
        }
        // END nv_export_files: string methods
    }
}
