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

function A(const S: string): GbkString;
begin
  Result := NvArg(S);
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

  Doc := Step('member', NvTake(getPersonInfo(PAnsiChar(A('341122000123')), PAnsiChar(A('op01')),
    PAnsiChar(A(Centre)))));
  Expect('the member is found by name', NvColumn(Doc, 'name', 0) = MemberName);

  Doc := Step('register', NvTake(cliRegister(PAnsiChar(A('1')), PAnsiChar(A('')), PAnsiChar(A(Centre)),
    PAnsiChar(A('MZ0002')), PAnsiChar(A('3411220001')), PAnsiChar(A('34112200012301')),
    PAnsiChar(A('341122100001')), PAnsiChar(A(MemberName)), PAnsiChar(A('1')),
    PAnsiChar(A('341122197803150019')), PAnsiChar(A('46')), PAnsiChar(A('341122000123')),
    PAnsiChar(A('6210341122000123')), PAnsiChar(A('J06.900')), nil, PAnsiChar(A('01')), PAnsiChar(A(Today)),
    nil, PAnsiChar(A('1')), PAnsiChar(A('1')), nil, nil)));
  ClinicNo := NvColumn(Doc, 'clinicNo', 0);
  Expect('a visit number', ClinicNo <> '');

  Step('fee', NvTake(cliDetailInput(PAnsiChar(A('1')), PAnsiChar(A(Centre)), PAnsiChar(A(ClinicNo)),
    PAnsiChar(A('RX0001')), nil, PAnsiChar(A('H-XCG')), PAnsiChar(A('JC0001')), PAnsiChar(A('03')),
    PAnsiChar(A('XCG')), nil, nil, nil, PAnsiChar(A('20.00')), PAnsiChar(A('1')), PAnsiChar(A('20.00')),
    PAnsiChar(A('20.00')), PAnsiChar(A(Today)), nil, nil)));
  Doc := Step('fees', NvTake(cliDetailSeek(PAnsiChar(A(ClinicNo)), PAnsiChar(A(Centre)))));
  Expect('the fee is listed', NvColumn(Doc, 'CODE', 0) = 'JC0001');

  Doc := Step('calculate', NvTake(cliCalculate(PAnsiChar(A(ClinicNo)), PAnsiChar(A(Centre)))));
  Expect('a total of 20.00', NvColumn(Doc, 'totalMoney', 0) = '20.00');
  Doc := Step('settle', NvTake(cliSettlement(PAnsiChar(A(ClinicNo)), PAnsiChar(A(Centre)))));
  SettlementNo := NvColumn(Doc, 'settlementNo', 0);
  Expect('a settlement number', SettlementNo <> '');
  Step('audit', NvTake(cliAuditingSeek(PAnsiChar(A(SettlementNo)), PAnsiChar(A(Centre)))));
  Step('balance', NvTake(cliBalance(PAnsiChar(A(ClinicNo)), PAnsiChar(A('0.00')), PAnsiChar(A(Centre)))));

  Doc := NvTake(cliCalculate(nil, PAnsiChar(A(Centre))));
  Expect('an empty visit number is refused', NvElement(Doc, 'out_code') = '600');
  Expect('base64 of GBK both ways', NvTake(DeEncypt(PAnsiChar(A(NvTake(Encypt(PAnsiChar(A(MemberName)))))))) =
    MemberName);

  if Failures = 0 then
    WriteLn('outpatient flow: every step succeeded')
  else
    WriteLn('outpatient flow: ', Failures, ' failures');
  if Failures <> 0 then
    Halt(1);
end.
