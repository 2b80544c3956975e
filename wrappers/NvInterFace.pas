// SPDX-License-Identifier: MIT
{ NvInterFace.pas: every export of NvInterFace.dll for Delphi, from Delphi 7
  to Delphi 2009 and later (and Free Pascal in Delphi mode), with helpers
  that pass strings as GBK and read a result document.

  Put x86\NvInterFace.dll beside the program (x64\NvInterFace.dll for a
  64-bit program, Delphi XE2 and later), add this unit to the project:

    Doc := NvTake(getPersonInfo(PAnsiChar(NvArg(CertNo)), PAnsiChar(NvArg(Op)),
      PAnsiChar(NvArg(Centre))));
    if NvElement(Doc, 'out_code') = '000' then
      Name := NvColumn(Doc, 'name', 0);

  Every text is GBK. Before Delphi 2009 a string holds the bytes of the
  system code page, GBK on a Chinese-configured Windows, and passes as it
  is; from Delphi 2009 on a string is UTF-16 and NvArg and NvTake convert.
  Every returned text is released by NvTake with freeResult, never with
  FreeMem: the library's heap is its own. Each declaration has exactly its
  export's number of arguments: on x86 the callee removes them from the
  stack (stdcall), so one too many or too few corrupts the stack.

  This file is ASCII, so Delphi 7 reads it whatever its code page. }
unit NvInterFace;

interface

uses
  SysUtils;

const
{$IFDEF MSWINDOWS}
  NvLibrary = 'NvInterFace.dll';
{$ELSE}
  NvLibrary = 'NvInterFace';
{$ENDIF}

type
  { A NUL-terminated GBK text; nil counts as the empty text. }
  NvText = PAnsiChar;
{$IFDEF UNICODE}
  GbkString = type AnsiString(936);
{$ELSE}
  GbkString = AnsiString;
{$ENDIF}

{ The exports, in the order of NvInterFace.h, with its parameter names
  (cliDetailInput's "type" is entryType here, "type" being a keyword). }
function Encypt(text: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function DeEncypt(base64Text: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function getCenter(centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function getAllCenter: PAnsiChar;
  stdcall; external NvLibrary;
function getPersonInfo(medicalCertNo, operatorName, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function getHospitalInfo(hospitalName, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliRegister(regType, clinicNo, centreCode, hisClinicNo, familyNo, memberNo, countryNo,
  memberName, sexCode, idCard, age, medicalCertNo, cardNo, firstIcdNo, secondIcdNo, inOfficeNo,
  clinicDate, clinicDoctor, cureCode, inHosId, turnLevel, turnHosNo: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliDetailInput(entryType, centreCode, clinicNo, clinicRxNo, detailNo, hisItemCode,
  insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money,
  factMoney, useDate, enableRatio, enableMoney: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliDetailSeek(clinicNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliCancelFee(clinicNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliSingleCancleFee(detailNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliCalculate(clinicNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliSettlement(clinicNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliCancelSettlement(settlementNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliSeek(memberCode, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliAuditingSeek(settlementNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function isCashRedeem(settlementNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliBalance(clinicNo, familyAccountGeld, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliStrikeBalance(settlementNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpRegister(opType, inpatientSn, centreCode, hisVisitNo, memberName, familyNo, memberNo,
  countryTeamCode, sexCode, idCard, age, medicalCertNo, cardNo, icdNo, opsNo, inOfficeNo,
  admissionDate, cureCode, inHosState, cureDoctor, bedNo, sectionNo, dischargeDate, days,
  outOfficeNo, outHosState, turnType, turnOrgNo, turnDate, ticketNo, ministerNotice,
  procreateNotice: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpRegisterB(packedRegistration: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpDetailInput(opType, inpatientSn, centreCode, inpatientRxNo, detailId, hisItemCode,
  insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money,
  factMoney, useDate, enableRatio, enableMoney: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpDetailSeek(inpatientSn, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpSingleCancelFee(detailNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpCancelFee(inpatientSn, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function calculate(inpatientSn, centreCode, redeemType: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpPay(inpatientSn, redeemType, redeemDate, acceptMan, acceptDate, centreCode: NvText):
  PAnsiChar;
  stdcall; external NvLibrary;
function auditingSeek(inpatientSn, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function updateDisease(lastTime, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function updateLeechdom(lastTime, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function getInpatientGradeList(centreCode, inpatientSn: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function matchUpdate(centreCode, code, hisCode, hisName, hisSpec, hisUnit, hisConf,
  hisPrice: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function matchSeek(centreCode, code, hisCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
procedure freeResult(result: PAnsiChar);
  stdcall; external NvLibrary;

{ The GBK bytes of a text, for an argument: PAnsiChar(NvArg(S)). }
function NvArg(const S: string): GbkString;
{ Copies a returned text as a string and releases it with freeResult;
  EOutOfMemory when the library returned none. }
function NvTake(R: PAnsiChar): string;
{ An element of a result document: 'function_id', 'out_code' or
  'out_text'; '' when absent (getCenter writes no out_code on success). }
function NvElement(const Doc, Name: string): string;
{ The number of rows of a result document. }
function NvRowCount(const Doc: string): Integer;
{ The value of the column named ColName in row Row (from 0); '' when there
  is none. Attribute values are enclosed by \" (backslash, quote), as the
  library writes them; values are not escaped. }
function NvColumn(const Doc, ColName: string; Row: Integer): string;

implementation

const
  Quote = '\"';

function NvArg(const S: string): GbkString;
begin
  Result := GbkString(S);
end;

function NvTake(R: PAnsiChar): string;
var
  Count: Integer;
{$IFDEF UNICODE}
  Bytes: RawByteString;
{$ENDIF}
begin
  if R = nil then
    raise EOutOfMemory.Create('NvInterFace returned no text');
  try
    Count := 0;
    while R[Count] <> #0 do
      Inc(Count);
{$IFDEF UNICODE}
    SetString(Bytes, R, Count);
    SetCodePage(Bytes, 936, False);
    Result := string(Bytes);
{$ELSE}
    SetString(Result, R, Count);
{$ENDIF}
  finally
    freeResult(R);
  end;
end;

{ The text between Open and Close in Text, from the first Open on. }
function Between(const Text, Open, Close: string; var Found: Boolean): string;
var
  Start, Stop: Integer;
  Rest: string;
begin
  Result := '';
  Found := False;
  Start := Pos(Open, Text);
  if Start = 0 then
    Exit;
  Rest := Copy(Text, Start + Length(Open), MaxInt);
  Stop := Pos(Close, Rest);
  if Stop = 0 then
    Exit;
  Result := Copy(Rest, 1, Stop - 1);
  Found := True;
end;

function NvElement(const Doc, Name: string): string;
var
  Found: Boolean;
begin
  Result := Between(Doc, '<' + Name + '>', '</' + Name + '>', Found);
end;

function NvRowCount(const Doc: string): Integer;
var
  Found: Boolean;
begin
  Result := StrToIntDef(Between(Doc, '<data rowcount=' + Quote, Quote, Found), 0);
end;

function NvColumn(const Doc, ColName: string; Row: Integer): string;
var
  Found: Boolean;
  Rows: string;
begin
  Rows := Between(Doc, '<row rownum=' + Quote + IntToStr(Row) + Quote + '>', '</row>', Found);
  Result := Between(Rows, ' colname=' + Quote + ColName + Quote + '>', '</column>', Found);
end;

end.
