// SPDX-License-Identifier: MIT
{ A whole outpatient visit through NvInterFace.pas: look up the member,
  register the visit, upload a fee, calculate, settle, query the audit
  state, balance. Run it in a folder whose NvConfiguration.ini configures
  the centre (the kit's sandbox centre knows member 341122000123):

    OutpatientFlow.exe 341122

  Exits 0 when every step succeeded. Delphi 7 and later; Free Pascal with
  -Mdelphi or -Mdelphiunicode. }
program OutpatientFlow;

{$IFDEF MSWINDOWS}{$APPTYPE CONSOLE}{$ENDIF}

uses
{$IFDEF FPC}{$IFDEF UNIX}
  cwstring, { GBK conversions through the system's iconv }
{$ENDIF}{$ENDIF}
  SysUtils,
  NvInterFace;

const
{$IFDEF UNICODE}
  MemberName = #$5F20#$4E09; { the name of member 341122000123 }
{$ELSE}
  MemberName = #$D5#$C5#$C8#$FD; { the same in GBK bytes }
{$ENDIF}

var
  Failures: Integer;

function Step(const Title, Doc: string): string;
begin
  WriteLn(Title, ': ', NvElement(Doc, 'function_id'), ' ', NvElement(Doc, 'out_code'), ' (', NvRowCount(Doc),
    ' rows)');
  if NvElement(Doc, 'out_code') <> '000' then
    Inc(Failures);
  Result := Doc;
end;

procedure Expect(const What: string; Holds: Boolean);
begin
  if Holds then
    Exit;
  WriteLn('FAILED: ', What);
  Inc(Failures);
end;

var
  Centre, Today, Doc, ClinicNo, SettlementNo: string;
begin
  Failures := 0;
  if ParamCount > 0 then
    Centre := ParamStr(1)
  else
    Centre := '341122';
  Today := FormatDateTime('yyyy-mm-dd', Now);

  { The string functions convert each argument, refusing (ENvGbkArgument,
    naming it) a text GBK cannot carry. }
  Doc := Step('member', NvGetPersonInfo('341122000123', 'op01', Centre));
  Expect('the member is found by name', NvColumn(Doc, 'name', 0) = MemberName);

  Doc := Step('register', NvCliRegister('1', '', Centre, 'MZ0002', '3411220001', '34112200012301', '341122100001',
    MemberName, '1', '341122197803150019', '46', '341122000123', '6210341122000123', 'J06.900', '', '01', Today,
    '', '1', '1', '', ''));
  ClinicNo := NvColumn(Doc, 'clinicNo', 0);
  Expect('a visit number', ClinicNo <> '');

  Step('fee', NvCliDetailInput('1', Centre, ClinicNo, 'RX0001', '', 'H-XCG', 'JC0001', '03', 'XCG', '', '', '',
    '20.00', '1', '20.00', '20.00', Today, '', ''));
  Doc := Step('fees', NvCliDetailSeek(ClinicNo, Centre));
  Expect('the fee is listed', NvColumn(Doc, 'CODE', 0) = 'JC0001');

  Doc := Step('calculate', NvCliCalculate(ClinicNo, Centre));
  Expect('a total of 20.00', NvColumn(Doc, 'totalMoney', 0) = '20.00');
  Doc := Step('settle', NvCliSettlement(ClinicNo, Centre));
  SettlementNo := NvColumn(Doc, 'settlementNo', 0);
  Expect('a settlement number', SettlementNo <> '');
  Step('audit', NvCliAuditingSeek(SettlementNo, Centre));
  Step('balance', NvCliBalance(ClinicNo, '0.00', Centre));

  { The exports themselves take GBK bytes: NvArg converts, NvTake reads
    and releases the result. }
  Doc := NvTake(cliCalculate(nil, PAnsiChar(NvArg(Centre, 'centreCode'))));
  Expect('an empty visit number is refused', NvElement(Doc, 'out_code') = '600');
  Expect('base64 of GBK both ways', NvDeEncypt(NvEncypt(MemberName)) = MemberName);

  if Failures = 0 then
    WriteLn('outpatient flow: every step succeeded')
  else
    WriteLn('outpatient flow: ', Failures, ' failures');
  if Failures <> 0 then
    Halt(1);
end.
