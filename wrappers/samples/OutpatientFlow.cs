// SPDX-License-Identifier: MIT
// A whole outpatient visit through NvInterFace.cs: look up the member,
// register the visit, upload a fee, calculate, settle, query the audit
// state, balance. Build it with NvInterFace.cs, run it in a folder whose
// NvConfiguration.ini configures the centre (the sandbox centre of the kit
// knows member 341122000123, 张三):
//
//   csc OutpatientFlow.cs NvInterFace.cs          (.NET Framework)
//   OutpatientFlow.exe 341122
//
// Exits 0 when every step succeeded.
using System;
using NvInterFaceDll;

static class OutpatientFlow
{
    static int failures;

    static NvResult Step(string title, NvResult result)
    {
        Console.WriteLine(title + ": " + result.FunctionId + " " + result.OutCode + " " + result.OutText + " (" +
                          result.Rows.Count + " rows)");
        if (!result.Succeeded)
            failures++;
        return result;
    }

    static void Expect(string what, bool holds)
    {
        if (holds)
            return;
        Console.WriteLine("FAILED: " + what);
        failures++;
    }

    static int Main(string[] args)
    {
        string centre = args.Length > 0 ? args[0] : "341122";
        string today = DateTime.Now.ToString("yyyy-MM-dd");

        NvResult family = Step("member", NvInterFace.GetPersonInfo("341122000123", "op01", centre));
        Expect("the member 张三 is found", family.Rows.Count > 0 && family.Value("name") == "张三");

        NvResult registered = Step("register", NvInterFace.CliRegister(
            "1", "", centre, "MZ0001", "3411220001", "34112200012301", "341122100001", "张三", "1",
            "341122197803150019", "46", "341122000123", "6210341122000123", "J06.900", "", "01", today, "王医生",
            "1", "1", "", ""));
        string clinicNo = registered.Value("clinicNo");
        Expect("a visit number", !string.IsNullOrEmpty(clinicNo));

        Step("fee", NvInterFace.CliDetailInput(
            "1", centre, clinicNo, "RX0001", "", "H-AMX", "XY0001", "01", "阿莫西林胶囊", "0.25g*24粒", "盒",
            "胶囊剂", "12.50", "2", "25.00", "25.00", today, "", ""));
        NvResult fees = Step("fees", NvInterFace.CliDetailSeek(clinicNo, centre));
        Expect("the fee's name comes back as sent", fees.Value("NAME") == "阿莫西林胶囊");

        NvResult calculated = Step("calculate", NvInterFace.CliCalculate(clinicNo, centre));
        Expect("a total of 25.00", calculated.Value("totalMoney") == "25.00");
        NvResult settled = Step("settle", NvInterFace.CliSettlement(clinicNo, centre));
        string settlementNo = settled.Value("settlementNo");
        Expect("a settlement number", !string.IsNullOrEmpty(settlementNo));
        Step("audit", NvInterFace.CliAuditingSeek(settlementNo, centre));
        Step("balance", NvInterFace.CliBalance(clinicNo, "0.00", centre));

        NvResult refused = NvInterFace.CliCalculate("", centre);
        Expect("an empty visit number is refused in Chinese",
               refused.OutCode == "600" && refused.OutText == "门诊就诊号不能为空");
        Expect("base64 of GBK both ways", NvInterFace.DeEncypt(NvInterFace.Encypt("张三")) == "张三");

        Console.WriteLine(failures == 0 ? "outpatient flow: every step succeeded" : "outpatient flow: " + failures +
                                                                                       " failures");
        return failures == 0 ? 0 : 1;
    }
}
