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
        public static extern void freeResult(IntPtr result);
    }

    // GBK, code page 936: built into .NET Framework; on .NET Core and
    // .NET 5+ the code pages provider of the shared framework is registered
    // first, found by reflection so that this file still compiles against
    // .NET Framework 4.0, which has no Encoding.RegisterProvider.
    public static class Gbk
    {
        public static readonly Encoding Encoding = Find();

        static Encoding Find()
        {
            try
            {
                return Encoding.GetEncoding(936);
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
            return Encoding.GetEncoding(936);
        }

        // The GBK bytes of a text with its terminating NUL; null stays null.
        public static byte[] Bytes(string text)
        {
            if (text == null)
                return null;
            byte[] bytes = Encoding.GetBytes(text);
            Array.Resize(ref bytes, bytes.Length + 1);
            return bytes;
        }

        // Copies a text the library returned, decoded from GBK, and releases
        // it with freeResult. The library returns no text only when memory
        // runs out.
        public static string Take(IntPtr result)
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
                return Encoding.GetString(bytes);
            }
            finally
            {
                NvNative.freeResult(result);
            }
        }
    }

    // A result document read: function_id, out_code, out_text and the rows,
    // each a column name to value map. Attribute values in the document are
    // enclosed by the two characters \" (backslash, quote), which XML
    // parsers reject, so it is read here as the library writes it.
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

        // Reads a result document; FormatException when the text is not one.
        // A value holding "</column>" cannot be read back: values are not
        // escaped.
        public static NvResult Parse(string document)
        {
            NvResult result = new NvResult();
            result.Document = document;
            result.FunctionId = Element(document, "function_id");
            result.OutCode = Element(document, "out_code");
            result.OutText = Element(document, "out_text");
            int at = document.IndexOf("<data rowcount=" + Quote, StringComparison.Ordinal);
            if (result.FunctionId == null || at < 0)
                throw new FormatException("not a result document: " + document);
            at = After(document, Quote + ">", at);
            while (document.IndexOf("<row rownum=" + Quote, at, StringComparison.Ordinal) == at)
            {
                at = After(document, Quote + ">", at);
                Dictionary<string, string> row = new Dictionary<string, string>();
                string open = "<column colnum=" + Quote;
                while (document.IndexOf(open, at, StringComparison.Ordinal) == at)
                {
                    int nameStart = After(document, " colname=" + Quote, at);
                    int nameEnd = Find(document, Quote + ">", nameStart);
                    int valueStart = nameEnd + Quote.Length + 1;
                    int valueEnd = Find(document, "</column>", valueStart);
                    row[document.Substring(nameStart, nameEnd - nameStart)] =
                        document.Substring(valueStart, valueEnd - valueStart);
                    at = valueEnd + "</column>".Length;
                }
                if (document.IndexOf("</row>", at, StringComparison.Ordinal) != at)
                    throw new FormatException("a row is not closed at " + at + ": " + document);
                at += "</row>".Length;
                result.Rows.Add(row);
            }
            return result;
        }

        static string Element(string document, string name)
        {
            int start = document.IndexOf("<" + name + ">", StringComparison.Ordinal);
            if (start < 0)
                return null;
            start += name.Length + 2;
            int end = document.IndexOf("</" + name + ">", start, StringComparison.Ordinal);
            return end < 0 ? null : document.Substring(start, end - start);
        }

        static int Find(string document, string text, int from)
        {
            int at = document.IndexOf(text, from, StringComparison.Ordinal);
            if (at < 0)
                throw new FormatException("no " + text + " after " + from + ": " + document);
            return at;
        }

        static int After(string document, string text, int from)
        {
            return Find(document, text, from) + text.Length;
        }
    }

    // Every export with .NET strings: arguments encoded as GBK, results
    // decoded and released. Parameter names and order are NvInterFace.h's.
    public static class NvInterFace
    {
        public static string Encypt(string text)
        {
            return Gbk.Take(NvNative.Encypt(Gbk.Bytes(text)));
        }

        public static string DeEncypt(string base64Text)
        {
            return Gbk.Take(NvNative.DeEncypt(Gbk.Bytes(base64Text)));
        }

        public static NvResult GetCenter(string centreCode)
        {
            return NvResult.Take(NvNative.getCenter(Gbk.Bytes(centreCode)));
        }

        public static NvResult GetAllCenter()
        {
            return NvResult.Take(NvNative.getAllCenter());
        }

        public static NvResult GetPersonInfo(string medicalCertNo, string operatorName, string centreCode)
        {
            return NvResult.Take(NvNative.getPersonInfo(Gbk.Bytes(medicalCertNo), Gbk.Bytes(operatorName), Gbk.Bytes(centreCode)));
        }

        public static NvResult GetHospitalInfo(string hospitalName, string centreCode)
        {
            return NvResult.Take(NvNative.getHospitalInfo(Gbk.Bytes(hospitalName), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliRegister(string regType, string clinicNo, string centreCode, string hisClinicNo, string familyNo, string memberNo, string countryNo, string memberName, string sexCode, string idCard, string age, string medicalCertNo, string cardNo, string firstIcdNo, string secondIcdNo, string inOfficeNo, string clinicDate, string clinicDoctor, string cureCode, string inHosId, string turnLevel, string turnHosNo)
        {
            return NvResult.Take(NvNative.cliRegister(Gbk.Bytes(regType), Gbk.Bytes(clinicNo), Gbk.Bytes(centreCode), Gbk.Bytes(hisClinicNo), Gbk.Bytes(familyNo), Gbk.Bytes(memberNo), Gbk.Bytes(countryNo), Gbk.Bytes(memberName), Gbk.Bytes(sexCode), Gbk.Bytes(idCard), Gbk.Bytes(age), Gbk.Bytes(medicalCertNo), Gbk.Bytes(cardNo), Gbk.Bytes(firstIcdNo), Gbk.Bytes(secondIcdNo), Gbk.Bytes(inOfficeNo), Gbk.Bytes(clinicDate), Gbk.Bytes(clinicDoctor), Gbk.Bytes(cureCode), Gbk.Bytes(inHosId), Gbk.Bytes(turnLevel), Gbk.Bytes(turnHosNo)));
        }

        public static NvResult CliDetailInput(string type, string centreCode, string clinicNo, string clinicRxNo, string detailNo, string hisItemCode, string insureItemCode, string feeClassCode, string itemName, string itemSpec, string itemUnit, string itemConf, string price, string quantity, string money, string factMoney, string useDate, string enableRatio, string enableMoney)
        {
            return NvResult.Take(NvNative.cliDetailInput(Gbk.Bytes(type), Gbk.Bytes(centreCode), Gbk.Bytes(clinicNo), Gbk.Bytes(clinicRxNo), Gbk.Bytes(detailNo), Gbk.Bytes(hisItemCode), Gbk.Bytes(insureItemCode), Gbk.Bytes(feeClassCode), Gbk.Bytes(itemName), Gbk.Bytes(itemSpec), Gbk.Bytes(itemUnit), Gbk.Bytes(itemConf), Gbk.Bytes(price), Gbk.Bytes(quantity), Gbk.Bytes(money), Gbk.Bytes(factMoney), Gbk.Bytes(useDate), Gbk.Bytes(enableRatio), Gbk.Bytes(enableMoney)));
        }

        public static NvResult CliDetailSeek(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliDetailSeek(Gbk.Bytes(clinicNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliCancelFee(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliCancelFee(Gbk.Bytes(clinicNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliSingleCancleFee(string detailNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliSingleCancleFee(Gbk.Bytes(detailNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliCalculate(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliCalculate(Gbk.Bytes(clinicNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliSettlement(string clinicNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliSettlement(Gbk.Bytes(clinicNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliCancelSettlement(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliCancelSettlement(Gbk.Bytes(settlementNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliSeek(string memberCode, string centreCode)
        {
            return NvResult.Take(NvNative.cliSeek(Gbk.Bytes(memberCode), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliAuditingSeek(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliAuditingSeek(Gbk.Bytes(settlementNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult IsCashRedeem(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.isCashRedeem(Gbk.Bytes(settlementNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliBalance(string clinicNo, string familyAccountGeld, string centreCode)
        {
            return NvResult.Take(NvNative.cliBalance(Gbk.Bytes(clinicNo), Gbk.Bytes(familyAccountGeld), Gbk.Bytes(centreCode)));
        }

        public static NvResult CliStrikeBalance(string settlementNo, string centreCode)
        {
            return NvResult.Take(NvNative.cliStrikeBalance(Gbk.Bytes(settlementNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult InpRegister(string opType, string inpatientSn, string centreCode, string hisVisitNo, string memberName, string familyNo, string memberNo, string countryTeamCode, string sexCode, string idCard, string age, string medicalCertNo, string cardNo, string icdNo, string opsNo, string inOfficeNo, string admissionDate, string cureCode, string inHosState, string cureDoctor, string bedNo, string sectionNo, string dischargeDate, string days, string outOfficeNo, string outHosState, string turnType, string turnOrgNo, string turnDate, string ticketNo, string ministerNotice, string procreateNotice)
        {
            return NvResult.Take(NvNative.inpRegister(Gbk.Bytes(opType), Gbk.Bytes(inpatientSn), Gbk.Bytes(centreCode), Gbk.Bytes(hisVisitNo), Gbk.Bytes(memberName), Gbk.Bytes(familyNo), Gbk.Bytes(memberNo), Gbk.Bytes(countryTeamCode), Gbk.Bytes(sexCode), Gbk.Bytes(idCard), Gbk.Bytes(age), Gbk.Bytes(medicalCertNo), Gbk.Bytes(cardNo), Gbk.Bytes(icdNo), Gbk.Bytes(opsNo), Gbk.Bytes(inOfficeNo), Gbk.Bytes(admissionDate), Gbk.Bytes(cureCode), Gbk.Bytes(inHosState), Gbk.Bytes(cureDoctor), Gbk.Bytes(bedNo), Gbk.Bytes(sectionNo), Gbk.Bytes(dischargeDate), Gbk.Bytes(days), Gbk.Bytes(outOfficeNo), Gbk.Bytes(outHosState), Gbk.Bytes(turnType), Gbk.Bytes(turnOrgNo), Gbk.Bytes(turnDate), Gbk.Bytes(ticketNo), Gbk.Bytes(ministerNotice), Gbk.Bytes(procreateNotice)));
        }

        public static NvResult InpRegisterB(string packedRegistration)
        {
            return NvResult.Take(NvNative.inpRegisterB(Gbk.Bytes(packedRegistration)));
        }

        public static NvResult InpDetailInput(string opType, string inpatientSn, string centreCode, string inpatientRxNo, string detailId, string hisItemCode, string insureItemCode, string feeClassCode, string itemName, string itemSpec, string itemUnit, string itemConf, string price, string quantity, string money, string factMoney, string useDate, string enableRatio, string enableMoney)
        {
            return NvResult.Take(NvNative.inpDetailInput(Gbk.Bytes(opType), Gbk.Bytes(inpatientSn), Gbk.Bytes(centreCode), Gbk.Bytes(inpatientRxNo), Gbk.Bytes(detailId), Gbk.Bytes(hisItemCode), Gbk.Bytes(insureItemCode), Gbk.Bytes(feeClassCode), Gbk.Bytes(itemName), Gbk.Bytes(itemSpec), Gbk.Bytes(itemUnit), Gbk.Bytes(itemConf), Gbk.Bytes(price), Gbk.Bytes(quantity), Gbk.Bytes(money), Gbk.Bytes(factMoney), Gbk.Bytes(useDate), Gbk.Bytes(enableRatio), Gbk.Bytes(enableMoney)));
        }

        public static NvResult InpDetailSeek(string inpatientSn, string centreCode)
        {
            return NvResult.Take(NvNative.inpDetailSeek(Gbk.Bytes(inpatientSn), Gbk.Bytes(centreCode)));
        }

        public static NvResult InpSingleCancelFee(string detailNo, string centreCode)
        {
            return NvResult.Take(NvNative.inpSingleCancelFee(Gbk.Bytes(detailNo), Gbk.Bytes(centreCode)));
        }

        public static NvResult InpCancelFee(string inpatientSn, string centreCode)
        {
            return NvResult.Take(NvNative.inpCancelFee(Gbk.Bytes(inpatientSn), Gbk.Bytes(centreCode)));
        }

        public static NvResult Calculate(string inpatientSn, string centreCode, string redeemType)
        {
            return NvResult.Take(NvNative.calculate(Gbk.Bytes(inpatientSn), Gbk.Bytes(centreCode), Gbk.Bytes(redeemType)));
        }

        public static NvResult InpPay(string inpatientSn, string redeemType, string redeemDate, string acceptMan, string acceptDate, string centreCode)
        {
            return NvResult.Take(NvNative.inpPay(Gbk.Bytes(inpatientSn), Gbk.Bytes(redeemType), Gbk.Bytes(redeemDate), Gbk.Bytes(acceptMan), Gbk.Bytes(acceptDate), Gbk.Bytes(centreCode)));
        }

        public static NvResult AuditingSeek(string inpatientSn, string centreCode)
        {
            return NvResult.Take(NvNative.auditingSeek(Gbk.Bytes(inpatientSn), Gbk.Bytes(centreCode)));
        }

        public static NvResult UpdateDisease(string lastTime, string centreCode)
        {
            return NvResult.Take(NvNative.updateDisease(Gbk.Bytes(lastTime), Gbk.Bytes(centreCode)));
        }

        public static NvResult UpdateLeechdom(string lastTime, string centreCode)
        {
            return NvResult.Take(NvNative.updateLeechdom(Gbk.Bytes(lastTime), Gbk.Bytes(centreCode)));
        }

        public static NvResult GetInpatientGradeList(string centreCode, string inpatientSn)
        {
            return NvResult.Take(NvNative.getInpatientGradeList(Gbk.Bytes(centreCode), Gbk.Bytes(inpatientSn)));
        }

        public static NvResult MatchUpdate(string centreCode, string code, string hisCode, string hisName, string hisSpec, string hisUnit, string hisConf, string hisPrice)
        {
            return NvResult.Take(NvNative.matchUpdate(Gbk.Bytes(centreCode), Gbk.Bytes(code), Gbk.Bytes(hisCode), Gbk.Bytes(hisName), Gbk.Bytes(hisSpec), Gbk.Bytes(hisUnit), Gbk.Bytes(hisConf), Gbk.Bytes(hisPrice)));
        }

        public static NvResult MatchSeek(string centreCode, string code, string hisCode)
        {
            return NvResult.Take(NvNative.matchSeek(Gbk.Bytes(centreCode), Gbk.Bytes(code), Gbk.Bytes(hisCode)));
        }
    }
}
