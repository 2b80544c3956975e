// SPDX-License-Identifier: MIT
{ NvInterFace.pas: every export of NvInterFace.dll for Delphi, from Delphi 7
  to Delphi 2009 and later (and Free Pascal in Delphi mode), with helpers
  that pass strings as GBK and read a result document.

  Put x86\NvInterFace.dll beside the program (x64\NvInterFace.dll for a
  64-bit program, Delphi XE2 and later), add this unit to the project:

    Doc := NvGetPersonInfo(CertNo, Op, Centre);
    if NvElement(Doc, 'out_code') = '000' then
      for Row := 0 to NvRowCount(Doc) - 1 do
        Name := NvColumn(Doc, 'name', Row);

  or, with the exports themselves:

    Doc := NvTake(getPersonInfo(PAnsiChar(NvArg(CertNo, 'medicalCertNo')),
      PAnsiChar(NvArg(Op, 'operatorName')), PAnsiChar(NvArg(Centre, 'centreCode'))));

  Every text is GBK. Before Delphi 2009 a string holds the bytes of the
  system code page, GBK on a Chinese-configured Windows, and passes as it
  is. From Delphi 2009 on (and with Free Pascal's -Mdelphiunicode) a string
  is UTF-16, and NvArg converts it to GBK. Text GBK cannot carry is
  refused, never sent changed: where the conversion would put "?" (for
  U+4DAE, U+20BB7) or a best-fit look-alike ("e" for U+00EB), NvArg raises
  ENvGbkArgument naming the argument and the character ("operatorName
  holds U+4DAE at 2, ..."); the bytes must read back as the same text, in
  ASCII and two-byte characters only. The Nv functions of the exports
  (NvGetPersonInfo ...) name each argument by its parameter name as
  declared here. A #0, at which the library would end the text, is refused
  in every version. NvTake decodes a result: a byte that starts no GBK
  character, or a two-byte sequence GBK gives no character, reads as
  U+FFFD, one per such byte or pair; NvTakeBytes keeps the bytes as they
  are. Under Free Pascal on Unix, put cwstring first in the program's uses
  clause: without it there is no conversion to GBK, and every text beyond
  ASCII is refused.

  Every returned text is released by NvTake with freeResult, never with
  FreeMem: the library's heap is its own. Each declaration has exactly its
  export's number of arguments: on x86 the callee removes them from the
  stack (stdcall), so one too many or too few corrupts the stack.

  A result document is read in one pass, in the order the library frames
  it; no value is escaped, so each value ends at the '</column>' followed
  by what must come next: the next column's opening (<column colnum=\"N\"
  colname=\", N as written: cliCalculate writes 0, 1, 7, 2 ...) within a
  row, '</row><row rownum=\"r+1\">' after a row's last column, and
  '</row></data></function>' after the last row's, which ends the
  document. A value holding markup, '</column>' included, is read whole.
  The counts are the framing's: rows beyond rowcount are the last value's
  text. The one case that stays ambiguous: a value that itself holds '</column>'
  followed by what must come after it. It is cut there and the rest is
  read as markup: within a row the text after it becomes the next column,
  under the name that markup gives, and the row's last column takes what
  remains up to its own end, markup and all; at a row's or the document's
  end the document does not read (NvParse raises ENvDocument; NvColumn
  and NvRowCount find no rows) unless what follows reads as framing too.

  NvElement, NvRowCount and NvColumn read a document once and keep that
  reading for the calling thread until it asks about another document, so
  that reading every column of every row takes time in proportion to the
  document. The reading holds the document; NvForget releases it (call it
  before a thread of your own that used them ends: Delphi frees no
  threadvar). NvParse gives a reading of your own instead, a TNvResult.

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
  NvBytes = RawByteString;
{$ELSE}
  GbkString = AnsiString;
  NvBytes = AnsiString;
{$ENDIF}

  { An argument GBK cannot carry, refused by NvArg: ArgName is its
    parameter name as declared, CodePoint the character (a surrogate pair's
    code point, 0 for #0) and Index its place in the string, from 1. }
  ENvGbkArgument = class(Exception)
  public
    ArgName: string;
    CodePoint: Integer;
    Index: Integer;
    constructor CreateFor(const AArgName: string; ACodePoint, AIndex: Integer);
  end;

  { A text that does not read as a result document (NvParse). }
  ENvDocument = class(Exception);

  { A result document read: the head and, for each row (from 0), where
    each column's name and value lie in the document. }
  TNvResult = class
  private
    FDocument, FFunctionId, FOutCode, FOutText: string;
    FHasOutCode: Boolean;
    FRowCount, FColumnCount: Integer;
    { Per column of each row: name start, name length, value start, value length. }
    FCells: array of Integer;
    procedure Read;
    procedure Malformed(At: Integer; const Expected: string);
    procedure Skip(var At: Integer; const Expected: string);
    function Number(var At: Integer): Integer;
    function Element(var At: Integer; const Name: string; const Next: array of string): string;
    function ValueEnd(At: Integer; const CloseAndNext: string): Integer;
    function ValueEndBeforeColumn(At: Integer): Integer;
  public
    { ENvDocument when Doc is not a result document. }
    constructor Create(const Doc: string);
    { The same, keeping what was read when Doc is not a result document:
      no rows, and the head as far as it reads. }
    constructor CreateLenient(const Doc: string);
    { The value of the column named ColName in row Row; False, and Value
      '', when there is none. }
    function FindColumn(Row: Integer; const ColName: string; var Value: string): Boolean;
    { The same, '' when there is none. }
    function Column(Row: Integer; const ColName: string): string;
    { out_code '000', or none at all (a centre listing). }
    function Succeeded: Boolean;
    property Document: string read FDocument;
    property FunctionId: string read FFunctionId;
    { '' when absent: getCenter and getAllCenter write none on success. }
    property OutCode: string read FOutCode;
    property HasOutCode: Boolean read FHasOutCode;
    property OutText: string read FOutText;
    property RowCount: Integer read FRowCount;
    property ColumnCount: Integer read FColumnCount;
  end;

{ The exports, in the order of NvInterFace.h, with its parameter names
  (cliDetailInput's "type" is entryType here, "type" being a keyword). }
{ BEGIN nv_export_files: external declarations (written from the export sheets by nv_export_files; do not edit by hand) }
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
function cliRegister(regType, clinicNo, centreCode, hisClinicNo, familyNo, memberNo, countryNo, memberName,
  sexCode, idCard, age, medicalCertNo, cardNo, firstIcdNo, secondIcdNo, inOfficeNo, clinicDate, clinicDoctor,
  cureCode, inHosId, turnLevel, turnHosNo: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function cliDetailInput(entryType, centreCode, clinicNo, clinicRxNo, detailNo, hisItemCode, insureItemCode,
  feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money, factMoney, useDate,
  enableRatio, enableMoney: NvText): PAnsiChar;
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
  countryTeamCode, sexCode, idCard, age, medicalCertNo, cardNo, icdNo, opsNo, inOfficeNo, admissionDate,
  cureCode, inHosState, cureDoctor, bedNo, sectionNo, dischargeDate, days, outOfficeNo, outHosState, turnType,
  turnOrgNo, turnDate, ticketNo, ministerNotice, procreateNotice: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpRegisterB(packedRegistration: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpDetailInput(opType, inpatientSn, centreCode, inpatientRxNo, detailId, hisItemCode, insureItemCode,
  feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money, factMoney, useDate,
  enableRatio, enableMoney: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpDetailSeek(inpatientSn, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpSingleCancelFee(detailNo, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpCancelFee(inpatientSn, centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function calculate(inpatientSn, centreCode, redeemType: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function inpPay(inpatientSn, redeemType, redeemDate, acceptMan, acceptDate, centreCode: NvText): PAnsiChar;
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
function redeemTypeDown(centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function officeCodeDown(centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
function connectTesting(centreCode: NvText): PAnsiChar;
  stdcall; external NvLibrary;
{ END nv_export_files: external declarations }
procedure freeResult(result: PAnsiChar);
  stdcall; external NvLibrary;

{ The GBK bytes of a text, for an argument: PAnsiChar(NvArg(S, 'memberName')).
  ENvGbkArgument, naming ArgName, when GBK cannot carry the text. }
function NvArg(const S, ArgName: string): GbkString; overload;
{ The same for an argument without a name. }
function NvArg(const S: string): GbkString; overload;
{ Copies a returned text as a string and releases it with freeResult;
  EOutOfMemory when the library returned none. }
function NvTake(R: PAnsiChar): string;
{ The same without decoding: the bytes as the library wrote them. }
function NvTakeBytes(R: PAnsiChar): NvBytes;
{ The text of GBK bytes, as NvTake decodes them. }
function NvFromGbk(const Bytes: NvBytes): string;
{ A result document read, which the caller frees; ENvDocument when Doc
  is not one. }
function NvParse(const Doc: string): TNvResult;
{ An element of a result document: 'function_id', 'out_code' or
  'out_text'; '' when absent (getCenter writes no out_code on success) or
  when the head of Doc does not read as a result document's. }
function NvElement(const Doc, Name: string): string;
{ The number of rows of a result document; 0 when Doc is not one. }
function NvRowCount(const Doc: string): Integer;
{ The value of the column named ColName in row Row (from 0); '' when there
  is none or Doc is not a result document. }
function NvColumn(const Doc, ColName: string; Row: Integer): string;
{ Releases the calling thread's reading of its last document. }
procedure NvForget;

{ Every export with strings: each argument through NvArg under its
  parameter name, the result through NvTake. Encypt and DeEncypt give the
  bare text, every other export the result document. }
{ BEGIN nv_export_files: string function declarations (written from the export sheets by nv_export_files; do not edit by hand) }
function NvEncypt(const text: string): string;
function NvDeEncypt(const base64Text: string): string;
function NvGetCenter(const centreCode: string): string;
function NvGetAllCenter: string;
function NvGetPersonInfo(const medicalCertNo, operatorName, centreCode: string): string;
function NvGetHospitalInfo(const hospitalName, centreCode: string): string;
function NvCliRegister(const regType, clinicNo, centreCode, hisClinicNo, familyNo, memberNo, countryNo,
  memberName, sexCode, idCard, age, medicalCertNo, cardNo, firstIcdNo, secondIcdNo, inOfficeNo, clinicDate,
  clinicDoctor, cureCode, inHosId, turnLevel, turnHosNo: string): string;
function NvCliDetailInput(const entryType, centreCode, clinicNo, clinicRxNo, detailNo, hisItemCode,
  insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money, factMoney,
  useDate, enableRatio, enableMoney: string): string;
function NvCliDetailSeek(const clinicNo, centreCode: string): string;
function NvCliCancelFee(const clinicNo, centreCode: string): string;
function NvCliSingleCancleFee(const detailNo, centreCode: string): string;
function NvCliCalculate(const clinicNo, centreCode: string): string;
function NvCliSettlement(const clinicNo, centreCode: string): string;
function NvCliCancelSettlement(const settlementNo, centreCode: string): string;
function NvCliSeek(const memberCode, centreCode: string): string;
function NvCliAuditingSeek(const settlementNo, centreCode: string): string;
function NvIsCashRedeem(const settlementNo, centreCode: string): string;
function NvCliBalance(const clinicNo, familyAccountGeld, centreCode: string): string;
function NvCliStrikeBalance(const settlementNo, centreCode: string): string;
function NvInpRegister(const opType, inpatientSn, centreCode, hisVisitNo, memberName, familyNo, memberNo,
  countryTeamCode, sexCode, idCard, age, medicalCertNo, cardNo, icdNo, opsNo, inOfficeNo, admissionDate,
  cureCode, inHosState, cureDoctor, bedNo, sectionNo, dischargeDate, days, outOfficeNo, outHosState, turnType,
  turnOrgNo, turnDate, ticketNo, ministerNotice, procreateNotice: string): string;
function NvInpRegisterB(const packedRegistration: string): string;
function NvInpDetailInput(const opType, inpatientSn, centreCode, inpatientRxNo, detailId, hisItemCode,
  insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money, factMoney,
  useDate, enableRatio, enableMoney: string): string;
function NvInpDetailSeek(const inpatientSn, centreCode: string): string;
function NvInpSingleCancelFee(const detailNo, centreCode: string): string;
function NvInpCancelFee(const inpatientSn, centreCode: string): string;
function NvCalculate(const inpatientSn, centreCode, redeemType: string): string;
function NvInpPay(const inpatientSn, redeemType, redeemDate, acceptMan, acceptDate,
  centreCode: string): string;
function NvAuditingSeek(const inpatientSn, centreCode: string): string;
function NvUpdateDisease(const lastTime, centreCode: string): string;
function NvUpdateLeechdom(const lastTime, centreCode: string): string;
function NvGetInpatientGradeList(const centreCode, inpatientSn: string): string;
function NvMatchUpdate(const centreCode, code, hisCode, hisName, hisSpec, hisUnit, hisConf,
  hisPrice: string): string;
function NvMatchSeek(const centreCode, code, hisCode: string): string;
function NvRedeemTypeDown(const centreCode: string): string;
function NvOfficeCodeDown(const centreCode: string): string;
function NvConnectTesting(const centreCode: string): string;
{ END nv_export_files: string function declarations }

implementation

const
  Quote = '\"';
  FunctionOpen = '<function><function_id>';
  DataOpen = '<data rowcount=' + Quote;
  RowOpen = '<row rownum=' + Quote;
  ColumnOpen = '<column colnum=' + Quote;
  ColumnName = Quote + ' colname=' + Quote;
  TagEnd = Quote + '>';
  ColumnClose = '</column>';
  RowClose = '</row>';
  DocumentEnd = '</data></function>';
  { The least markup of a row and of a column, for judging the counts. }
  LeastMarkup = 24;

threadvar
  { The calling thread's last document read by NvElement, NvRowCount or NvColumn. }
  LastRead: TNvResult;

constructor ENvGbkArgument.CreateFor(const AArgName: string; ACodePoint, AIndex: Integer);
var
  Name: string;
begin
  Name := AArgName;
  if Name = '' then
    Name := 'an argument';
  if ACodePoint = 0 then
    inherited CreateFmt('%s holds #0 at %d, where the library would end the text: refused', [Name, AIndex])
  else if ACodePoint < 0 then
    inherited CreateFmt('%s does not read back from GBK as it is: refused, not sent changed', [Name])
  else
    inherited CreateFmt('%s holds U+%.4X at %d, which GBK cannot carry: refused, not sent as "?"',
      [Name, ACodePoint, AIndex]);
  ArgName := AArgName;
  CodePoint := ACodePoint;
  Index := AIndex;
end;

{ True when Sub stands in Text at At. }
function Opens(const Text: string; At: Integer; const Sub: string): Boolean;
var
  I: Integer;
begin
  Result := False;
  if (At < 1) or (At + Length(Sub) - 1 > Length(Text)) then
    Exit;
  for I := 1 to Length(Sub) do
    if Text[At + I - 1] <> Sub[I] then
      Exit;
  Result := True;
end;

{ Where Sub first stands in Text from From on; 0 when nowhere. }
function FindFrom(const Text, Sub: string; From: Integer): Integer;
var
  I: Integer;
  First: Char;
begin
  Result := 0;
  if Sub = '' then
    Exit;
  First := Sub[1];
  for I := From to Length(Text) - Length(Sub) + 1 do
    if (Text[I] = First) and Opens(Text, I, Sub) then
    begin
      Result := I;
      Exit;
    end;
end;

{$IFDEF UNICODE}
{ 1 for an ASCII byte, 2 for a GBK lead and trail byte, 0 for a byte that
  starts no GBK character. }
function SequenceLength(const Bytes: NvBytes; At: Integer): Integer;
var
  Lead, Trail: Integer;
begin
  Result := 1;
  Lead := Ord(Bytes[At]);
  if Lead < $80 then
    Exit;
  Result := 0;
  if (Lead = $80) or (Lead = $FF) or (At >= Length(Bytes)) then
    Exit;
  Trail := Ord(Bytes[At + 1]);
  if (Trail >= $40) and (Trail <= $FE) and (Trail <> $7F) then
    Result := 2;
end;

{ The GBK bytes of S when they are ASCII and two-byte characters that read
  back as S; the conversion itself substitutes without a word. }
function Carried(const S: string; var Bytes: GbkString): Boolean;
var
  At, Count: Integer;
begin
  Result := False;
  Bytes := GbkString(S);
  if Pos(#0, S) > 0 then
    Exit;
  At := 1;
  while At <= Length(Bytes) do
  begin
    Count := SequenceLength(Bytes, At);
    if Count = 0 then
      Exit;
    Inc(At, Count);
  end;
  Result := string(Bytes) = S;
end;

{ Raises for the first character, or surrogate pair, GBK cannot carry alone. }
procedure RefuseArgument(const S, ArgName: string);
var
  At, Units, CodePoint: Integer;
  Bytes: GbkString;
begin
  At := 1;
  while At <= Length(S) do
  begin
    Units := 1;
    CodePoint := Ord(S[At]);
    if (CodePoint >= $D800) and (CodePoint <= $DBFF) and (At < Length(S)) and (Ord(S[At + 1]) >= $DC00) and
      (Ord(S[At + 1]) <= $DFFF) then
    begin
      Units := 2;
      CodePoint := $10000 + (CodePoint - $D800) shl 10 + (Ord(S[At + 1]) - $DC00);
    end;
    if not Carried(Copy(S, At, Units), Bytes) then
      raise ENvGbkArgument.CreateFor(ArgName, CodePoint, At);
    Inc(At, Units);
  end;
  raise ENvGbkArgument.CreateFor(ArgName, -1, 0);
end;

function NvArg(const S, ArgName: string): GbkString;
begin
  Result := '';
  if not Carried(S, Result) then
    RefuseArgument(S, ArgName);
end;

{ True when Text converts back to the bytes From..Stop - 1 of Bytes. }
function ReadsBack(const Text: string; const Bytes: NvBytes; From, Stop: Integer): Boolean;
var
  Back: GbkString;
  I: Integer;
begin
  Result := False;
  Back := GbkString(Text);
  if Length(Back) <> Stop - From then
    Exit;
  for I := 1 to Length(Back) do
    if Back[I] <> Bytes[From + I - 1] then
      Exit;
  Result := True;
end;

function Decoded(const Bytes: NvBytes; From, Count: Integer): string;
var
  Piece: NvBytes;
begin
  Piece := Copy(Bytes, From, Count);
  SetCodePage(Piece, 936, False);
  Result := string(Piece);
end;

{ Appends Piece to Text, of which Used characters are taken, doubling the room. }
procedure AppendPiece(var Text: string; var Used: Integer; const Piece: string);
begin
  if Used + Length(Piece) > Length(Text) then
    if Used + Length(Piece) > 2 * Length(Text) then
      SetLength(Text, Used + Length(Piece))
    else
      SetLength(Text, 2 * Length(Text));
  if Piece <> '' then
    Move(Piece[1], Text[Used + 1], Length(Piece) * SizeOf(Char));
  Inc(Used, Length(Piece));
end;

{ Whole characters From..Stop - 1: decoded at once when that reads back as
  the same bytes, else one by one, U+FFFD for a pair GBK gives nothing. }
procedure AppendCharacters(var Text: string; var Used: Integer; const Bytes: NvBytes; From, Stop: Integer);
var
  Run: string;
  At: Integer;
begin
  if From = Stop then
    Exit;
  Run := Decoded(Bytes, From, Stop - From);
  if ReadsBack(Run, Bytes, From, Stop) then
  begin
    AppendPiece(Text, Used, Run);
    Exit;
  end;
  At := From;
  while At < Stop do
  begin
    Run := Decoded(Bytes, At, SequenceLength(Bytes, At));
    if not ReadsBack(Run, Bytes, At, At + SequenceLength(Bytes, At)) then
      Run := #$FFFD;
    AppendPiece(Text, Used, Run);
    Inc(At, SequenceLength(Bytes, At));
  end;
end;

function NvFromGbk(const Bytes: NvBytes): string;
var
  At, Stop, Used: Integer;
begin
  Result := '';
  Used := 0;
  At := 1;
  while At <= Length(Bytes) do
  begin
    Stop := At;
    while (Stop <= Length(Bytes)) and (SequenceLength(Bytes, Stop) > 0) do
      Inc(Stop, SequenceLength(Bytes, Stop));
    AppendCharacters(Result, Used, Bytes, At, Stop);
    if Stop <= Length(Bytes) then
    begin
      AppendPiece(Result, Used, #$FFFD);
      Inc(Stop);
    end;
    At := Stop;
  end;
  SetLength(Result, Used);
end;
{$ELSE}
function NvArg(const S, ArgName: string): GbkString;
begin
  if Pos(#0, S) > 0 then
    raise ENvGbkArgument.CreateFor(ArgName, 0, Pos(#0, S));
  Result := S;
end;

function NvFromGbk(const Bytes: NvBytes): string;
begin
  Result := Bytes;
end;
{$ENDIF}

function NvArg(const S: string): GbkString;
begin
  Result := NvArg(S, '');
end;

function NvTakeBytes(R: PAnsiChar): NvBytes;
var
  Count: Integer;
begin
  if R = nil then
    raise EOutOfMemory.Create('NvInterFace returned no text');
  try
    Count := 0;
    while R[Count] <> #0 do
      Inc(Count);
    SetString(Result, R, Count);
{$IFDEF UNICODE}
    SetCodePage(Result, 936, False);
{$ENDIF}
  finally
    freeResult(R);
  end;
end;

function NvTake(R: PAnsiChar): string;
begin
  Result := NvFromGbk(NvTakeBytes(R));
end;

constructor TNvResult.Create(const Doc: string);
begin
  inherited Create;
  FDocument := Doc;
  Read;
end;

constructor TNvResult.CreateLenient(const Doc: string);
begin
  inherited Create;
  FDocument := Doc;
  try
    Read;
  except
    on ENvDocument do
    begin
      FRowCount := 0;
      FColumnCount := 0;
    end;
  end;
end;

procedure TNvResult.Malformed(At: Integer; const Expected: string);
begin
  raise ENvDocument.CreateFmt('not a result document: %s expected at %d, where it reads "%s"',
    [Expected, At, Copy(FDocument, At, 60)]);
end;

procedure TNvResult.Skip(var At: Integer; const Expected: string);
begin
  if not Opens(FDocument, At, Expected) then
    Malformed(At, Expected);
  Inc(At, Length(Expected));
end;

{ The decimal digits of N >= 0, in the string type of the unit (IntToStr's
  is AnsiString under Free Pascal's Unicode mode). }
function Digits(N: Integer): string;
begin
  Result := '';
  repeat
    Result := Char(Ord('0') + N mod 10) + Result;
    N := N div 10;
  until N = 0;
end;

{ A count or number of up to 9 digits. }
function TNvResult.Number(var At: Integer): Integer;
var
  Start: Integer;
begin
  Result := 0;
  Start := At;
  while (At <= Length(FDocument)) and (FDocument[At] >= '0') and (FDocument[At] <= '9') and (At - Start < 9) do
  begin
    Result := Result * 10 + Ord(FDocument[At]) - Ord('0');
    Inc(At);
  end;
  if (At = Start) or ((At <= Length(FDocument)) and (FDocument[At] >= '0') and (FDocument[At] <= '9')) then
    Malformed(Start, 'a number');
end;

{ The text of the head element at At, up to its closing tag followed by
  one of Next; At moves past the closing tag. }
function TNvResult.Element(var At: Integer; const Name: string; const Next: array of string): string;
var
  Close: string;
  Stop, I: Integer;
begin
  Skip(At, '<' + Name + '>');
  Close := '</' + Name + '>';
  Stop := FindFrom(FDocument, Close, At);
  while Stop > 0 do
  begin
    for I := Low(Next) to High(Next) do
      if Opens(FDocument, Stop + Length(Close), Next[I]) then
      begin
        Result := Copy(FDocument, At, Stop - At);
        At := Stop + Length(Close);
        Exit;
      end;
    Stop := FindFrom(FDocument, Close, Stop + 1);
  end;
  Malformed(At, Close);
end;

{ Where the value from At ends: the first '</column>' that the rest of
  CloseAndNext follows. }
function TNvResult.ValueEnd(At: Integer; const CloseAndNext: string): Integer;
begin
  Result := FindFrom(FDocument, CloseAndNext, At);
  if Result = 0 then
    Malformed(At, CloseAndNext);
end;

function TNvResult.ValueEndBeforeColumn(At: Integer): Integer;
var
  Digits, Next: Integer;
begin
  Result := FindFrom(FDocument, ColumnClose, At);
  while Result > 0 do
  begin
    Next := Result + Length(ColumnClose);
    if Opens(FDocument, Next, ColumnOpen) then
    begin
      Inc(Next, Length(ColumnOpen));
      Digits := Next;
      while (Next <= Length(FDocument)) and (FDocument[Next] >= '0') and (FDocument[Next] <= '9') do
        Inc(Next);
      if (Next > Digits) and Opens(FDocument, Next, ColumnName) then
        Exit;
    end;
    Result := FindFrom(FDocument, ColumnClose, Result + 1);
  end;
  Malformed(At, ColumnClose + ColumnOpen);
end;

procedure TNvResult.Read;
var
  At, Rows, Columns, Row, Col, NameEnd, Stop, Cell: Integer;
begin
  At := FindFrom(FDocument, FunctionOpen, 1);
  if At = 0 then
    Malformed(1, FunctionOpen);
  Inc(At, Length('<function>'));
  FFunctionId := Element(At, 'function_id', ['<out_code>', '<out_text>', DataOpen]);
  if Opens(FDocument, At, '<out_code>') then
  begin
    FOutCode := Element(At, 'out_code', ['<out_text>', DataOpen]);
    FHasOutCode := True;
  end;
  if Opens(FDocument, At, '<out_text>') then
    FOutText := Element(At, 'out_text', [DataOpen]);
  Skip(At, DataOpen);
  Rows := Number(At);
  Skip(At, Quote + ' columns=' + Quote);
  Columns := Number(At);
  Skip(At, TagEnd);
  { Counts the document cannot hold are not believed, nor given memory. }
  if Int64(Rows) * (Columns + 1) * LeastMarkup > Length(FDocument) then
    Malformed(At, 'counts the document can hold');
  SetLength(FCells, Rows * Columns * 4);
  for Row := 0 to Rows - 1 do
  begin
    Skip(At, RowOpen + Digits(Row) + TagEnd);
    for Col := 0 to Columns - 1 do
    begin
      Skip(At, ColumnOpen);
      Number(At);
      Skip(At, ColumnName);
      NameEnd := FindFrom(FDocument, TagEnd, At);
      if NameEnd = 0 then
        Malformed(At, TagEnd);
      Cell := (Row * Columns + Col) * 4;
      FCells[Cell] := At;
      FCells[Cell + 1] := NameEnd - At;
      At := NameEnd + Length(TagEnd);
      if Col + 1 < Columns then
        Stop := ValueEndBeforeColumn(At)
      else if Row + 1 < Rows then
        Stop := ValueEnd(At, ColumnClose + RowClose + RowOpen + Digits(Row + 1) + TagEnd)
      else
        Stop := ValueEnd(At, ColumnClose + RowClose + DocumentEnd);
      FCells[Cell + 2] := At;
      FCells[Cell + 3] := Stop - At;
      At := Stop + Length(ColumnClose);
    end;
    Skip(At, RowClose);
  end;
  Skip(At, DocumentEnd);
  if At <> Length(FDocument) + 1 then
    Malformed(At, 'the end');
  FRowCount := Rows;
  FColumnCount := Columns;
end;

function TNvResult.FindColumn(Row: Integer; const ColName: string; var Value: string): Boolean;
var
  Col, Cell: Integer;
begin
  Result := False;
  Value := '';
  if (Row < 0) or (Row >= FRowCount) then
    Exit;
  for Col := 0 to FColumnCount - 1 do
  begin
    Cell := (Row * FColumnCount + Col) * 4;
    if (FCells[Cell + 1] = Length(ColName)) and Opens(FDocument, FCells[Cell], ColName) then
    begin
      Value := Copy(FDocument, FCells[Cell + 2], FCells[Cell + 3]);
      Result := True;
      Exit;
    end;
  end;
end;

function TNvResult.Column(Row: Integer; const ColName: string): string;
begin
  Result := '';
  FindColumn(Row, ColName, Result);
end;

function TNvResult.Succeeded: Boolean;
begin
  Result := not FHasOutCode or (FOutCode = '000');
end;

function NvParse(const Doc: string): TNvResult;
begin
  Result := TNvResult.Create(Doc);
end;

{ The calling thread's reading of Doc: the last one when Doc is the very
  string read last (the reading holds it, so no other string can have its
  place), else a new one. }
function Reading(const Doc: string): TNvResult;
begin
  Result := LastRead;
  if (Result <> nil) and (Pointer(Result.FDocument) = Pointer(Doc)) then
    Exit;
  NvForget;
  Result := TNvResult.CreateLenient(Doc);
  LastRead := Result;
end;

procedure NvForget;
begin
  LastRead.Free;
  LastRead := nil;
end;

function NvElement(const Doc, Name: string): string;
var
  Read: TNvResult;
begin
  Read := Reading(Doc);
  if Name = 'function_id' then
    Result := Read.FunctionId
  else if Name = 'out_code' then
    Result := Read.OutCode
  else if Name = 'out_text' then
    Result := Read.OutText
  else
    Result := '';
end;

function NvRowCount(const Doc: string): Integer;
begin
  Result := Reading(Doc).RowCount;
end;

function NvColumn(const Doc, ColName: string; Row: Integer): string;
begin
  Result := '';
  Reading(Doc).FindColumn(Row, ColName, Result);
end;

{ BEGIN nv_export_files: string function definitions (written from the export sheets by nv_export_files; do not edit by hand) }
function NvEncypt(const text: string): string;
begin
  Result := NvTake(Encypt(PAnsiChar(NvArg(text, 'text'))));
end;

function NvDeEncypt(const base64Text: string): string;
begin
  Result := NvTake(DeEncypt(PAnsiChar(NvArg(base64Text, 'base64Text'))));
end;

function NvGetCenter(const centreCode: string): string;
begin
  Result := NvTake(getCenter(PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvGetAllCenter: string;
begin
  Result := NvTake(getAllCenter);
end;

function NvGetPersonInfo(const medicalCertNo, operatorName, centreCode: string): string;
begin
  Result := NvTake(getPersonInfo(PAnsiChar(NvArg(medicalCertNo, 'medicalCertNo')),
    PAnsiChar(NvArg(operatorName, 'operatorName')), PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvGetHospitalInfo(const hospitalName, centreCode: string): string;
begin
  Result := NvTake(getHospitalInfo(PAnsiChar(NvArg(hospitalName, 'hospitalName')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliRegister(const regType, clinicNo, centreCode, hisClinicNo, familyNo, memberNo, countryNo,
  memberName, sexCode, idCard, age, medicalCertNo, cardNo, firstIcdNo, secondIcdNo, inOfficeNo, clinicDate,
  clinicDoctor, cureCode, inHosId, turnLevel, turnHosNo: string): string;
begin
  Result := NvTake(cliRegister(PAnsiChar(NvArg(regType, 'regType')), PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode')), PAnsiChar(NvArg(hisClinicNo, 'hisClinicNo')),
    PAnsiChar(NvArg(familyNo, 'familyNo')), PAnsiChar(NvArg(memberNo, 'memberNo')),
    PAnsiChar(NvArg(countryNo, 'countryNo')), PAnsiChar(NvArg(memberName, 'memberName')),
    PAnsiChar(NvArg(sexCode, 'sexCode')), PAnsiChar(NvArg(idCard, 'idCard')), PAnsiChar(NvArg(age, 'age')),
    PAnsiChar(NvArg(medicalCertNo, 'medicalCertNo')), PAnsiChar(NvArg(cardNo, 'cardNo')),
    PAnsiChar(NvArg(firstIcdNo, 'firstIcdNo')), PAnsiChar(NvArg(secondIcdNo, 'secondIcdNo')),
    PAnsiChar(NvArg(inOfficeNo, 'inOfficeNo')), PAnsiChar(NvArg(clinicDate, 'clinicDate')),
    PAnsiChar(NvArg(clinicDoctor, 'clinicDoctor')), PAnsiChar(NvArg(cureCode, 'cureCode')),
    PAnsiChar(NvArg(inHosId, 'inHosId')), PAnsiChar(NvArg(turnLevel, 'turnLevel')),
    PAnsiChar(NvArg(turnHosNo, 'turnHosNo'))));
end;

function NvCliDetailInput(const entryType, centreCode, clinicNo, clinicRxNo, detailNo, hisItemCode,
  insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money, factMoney,
  useDate, enableRatio, enableMoney: string): string;
begin
  Result := NvTake(cliDetailInput(PAnsiChar(NvArg(entryType, 'entryType')),
    PAnsiChar(NvArg(centreCode, 'centreCode')), PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(clinicRxNo, 'clinicRxNo')), PAnsiChar(NvArg(detailNo, 'detailNo')),
    PAnsiChar(NvArg(hisItemCode, 'hisItemCode')), PAnsiChar(NvArg(insureItemCode, 'insureItemCode')),
    PAnsiChar(NvArg(feeClassCode, 'feeClassCode')), PAnsiChar(NvArg(itemName, 'itemName')),
    PAnsiChar(NvArg(itemSpec, 'itemSpec')), PAnsiChar(NvArg(itemUnit, 'itemUnit')),
    PAnsiChar(NvArg(itemConf, 'itemConf')), PAnsiChar(NvArg(price, 'price')),
    PAnsiChar(NvArg(quantity, 'quantity')), PAnsiChar(NvArg(money, 'money')),
    PAnsiChar(NvArg(factMoney, 'factMoney')), PAnsiChar(NvArg(useDate, 'useDate')),
    PAnsiChar(NvArg(enableRatio, 'enableRatio')), PAnsiChar(NvArg(enableMoney, 'enableMoney'))));
end;

function NvCliDetailSeek(const clinicNo, centreCode: string): string;
begin
  Result := NvTake(cliDetailSeek(PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliCancelFee(const clinicNo, centreCode: string): string;
begin
  Result := NvTake(cliCancelFee(PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliSingleCancleFee(const detailNo, centreCode: string): string;
begin
  Result := NvTake(cliSingleCancleFee(PAnsiChar(NvArg(detailNo, 'detailNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliCalculate(const clinicNo, centreCode: string): string;
begin
  Result := NvTake(cliCalculate(PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliSettlement(const clinicNo, centreCode: string): string;
begin
  Result := NvTake(cliSettlement(PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliCancelSettlement(const settlementNo, centreCode: string): string;
begin
  Result := NvTake(cliCancelSettlement(PAnsiChar(NvArg(settlementNo, 'settlementNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliSeek(const memberCode, centreCode: string): string;
begin
  Result := NvTake(cliSeek(PAnsiChar(NvArg(memberCode, 'memberCode')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliAuditingSeek(const settlementNo, centreCode: string): string;
begin
  Result := NvTake(cliAuditingSeek(PAnsiChar(NvArg(settlementNo, 'settlementNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvIsCashRedeem(const settlementNo, centreCode: string): string;
begin
  Result := NvTake(isCashRedeem(PAnsiChar(NvArg(settlementNo, 'settlementNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliBalance(const clinicNo, familyAccountGeld, centreCode: string): string;
begin
  Result := NvTake(cliBalance(PAnsiChar(NvArg(clinicNo, 'clinicNo')),
    PAnsiChar(NvArg(familyAccountGeld, 'familyAccountGeld')), PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCliStrikeBalance(const settlementNo, centreCode: string): string;
begin
  Result := NvTake(cliStrikeBalance(PAnsiChar(NvArg(settlementNo, 'settlementNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvInpRegister(const opType, inpatientSn, centreCode, hisVisitNo, memberName, familyNo, memberNo,
  countryTeamCode, sexCode, idCard, age, medicalCertNo, cardNo, icdNo, opsNo, inOfficeNo, admissionDate,
  cureCode, inHosState, cureDoctor, bedNo, sectionNo, dischargeDate, days, outOfficeNo, outHosState, turnType,
  turnOrgNo, turnDate, ticketNo, ministerNotice, procreateNotice: string): string;
begin
  Result := NvTake(inpRegister(PAnsiChar(NvArg(opType, 'opType')),
    PAnsiChar(NvArg(inpatientSn, 'inpatientSn')), PAnsiChar(NvArg(centreCode, 'centreCode')),
    PAnsiChar(NvArg(hisVisitNo, 'hisVisitNo')), PAnsiChar(NvArg(memberName, 'memberName')),
    PAnsiChar(NvArg(familyNo, 'familyNo')), PAnsiChar(NvArg(memberNo, 'memberNo')),
    PAnsiChar(NvArg(countryTeamCode, 'countryTeamCode')), PAnsiChar(NvArg(sexCode, 'sexCode')),
    PAnsiChar(NvArg(idCard, 'idCard')), PAnsiChar(NvArg(age, 'age')),
    PAnsiChar(NvArg(medicalCertNo, 'medicalCertNo')), PAnsiChar(NvArg(cardNo, 'cardNo')),
    PAnsiChar(NvArg(icdNo, 'icdNo')), PAnsiChar(NvArg(opsNo, 'opsNo')),
    PAnsiChar(NvArg(inOfficeNo, 'inOfficeNo')), PAnsiChar(NvArg(admissionDate, 'admissionDate')),
    PAnsiChar(NvArg(cureCode, 'cureCode')), PAnsiChar(NvArg(inHosState, 'inHosState')),
    PAnsiChar(NvArg(cureDoctor, 'cureDoctor')), PAnsiChar(NvArg(bedNo, 'bedNo')),
    PAnsiChar(NvArg(sectionNo, 'sectionNo')), PAnsiChar(NvArg(dischargeDate, 'dischargeDate')),
    PAnsiChar(NvArg(days, 'days')), PAnsiChar(NvArg(outOfficeNo, 'outOfficeNo')),
    PAnsiChar(NvArg(outHosState, 'outHosState')), PAnsiChar(NvArg(turnType, 'turnType')),
    PAnsiChar(NvArg(turnOrgNo, 'turnOrgNo')), PAnsiChar(NvArg(turnDate, 'turnDate')),
    PAnsiChar(NvArg(ticketNo, 'ticketNo')), PAnsiChar(NvArg(ministerNotice, 'ministerNotice')),
    PAnsiChar(NvArg(procreateNotice, 'procreateNotice'))));
end;

function NvInpRegisterB(const packedRegistration: string): string;
begin
  Result := NvTake(inpRegisterB(PAnsiChar(NvArg(packedRegistration, 'packedRegistration'))));
end;

function NvInpDetailInput(const opType, inpatientSn, centreCode, inpatientRxNo, detailId, hisItemCode,
  insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money, factMoney,
  useDate, enableRatio, enableMoney: string): string;
begin
  Result := NvTake(inpDetailInput(PAnsiChar(NvArg(opType, 'opType')),
    PAnsiChar(NvArg(inpatientSn, 'inpatientSn')), PAnsiChar(NvArg(centreCode, 'centreCode')),
    PAnsiChar(NvArg(inpatientRxNo, 'inpatientRxNo')), PAnsiChar(NvArg(detailId, 'detailId')),
    PAnsiChar(NvArg(hisItemCode, 'hisItemCode')), PAnsiChar(NvArg(insureItemCode, 'insureItemCode')),
    PAnsiChar(NvArg(feeClassCode, 'feeClassCode')), PAnsiChar(NvArg(itemName, 'itemName')),
    PAnsiChar(NvArg(itemSpec, 'itemSpec')), PAnsiChar(NvArg(itemUnit, 'itemUnit')),
    PAnsiChar(NvArg(itemConf, 'itemConf')), PAnsiChar(NvArg(price, 'price')),
    PAnsiChar(NvArg(quantity, 'quantity')), PAnsiChar(NvArg(money, 'money')),
    PAnsiChar(NvArg(factMoney, 'factMoney')), PAnsiChar(NvArg(useDate, 'useDate')),
    PAnsiChar(NvArg(enableRatio, 'enableRatio')), PAnsiChar(NvArg(enableMoney, 'enableMoney'))));
end;

function NvInpDetailSeek(const inpatientSn, centreCode: string): string;
begin
  Result := NvTake(inpDetailSeek(PAnsiChar(NvArg(inpatientSn, 'inpatientSn')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvInpSingleCancelFee(const detailNo, centreCode: string): string;
begin
  Result := NvTake(inpSingleCancelFee(PAnsiChar(NvArg(detailNo, 'detailNo')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvInpCancelFee(const inpatientSn, centreCode: string): string;
begin
  Result := NvTake(inpCancelFee(PAnsiChar(NvArg(inpatientSn, 'inpatientSn')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvCalculate(const inpatientSn, centreCode, redeemType: string): string;
begin
  Result := NvTake(calculate(PAnsiChar(NvArg(inpatientSn, 'inpatientSn')),
    PAnsiChar(NvArg(centreCode, 'centreCode')), PAnsiChar(NvArg(redeemType, 'redeemType'))));
end;

function NvInpPay(const inpatientSn, redeemType, redeemDate, acceptMan, acceptDate,
  centreCode: string): string;
begin
  Result := NvTake(inpPay(PAnsiChar(NvArg(inpatientSn, 'inpatientSn')),
    PAnsiChar(NvArg(redeemType, 'redeemType')), PAnsiChar(NvArg(redeemDate, 'redeemDate')),
    PAnsiChar(NvArg(acceptMan, 'acceptMan')), PAnsiChar(NvArg(acceptDate, 'acceptDate')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvAuditingSeek(const inpatientSn, centreCode: string): string;
begin
  Result := NvTake(auditingSeek(PAnsiChar(NvArg(inpatientSn, 'inpatientSn')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvUpdateDisease(const lastTime, centreCode: string): string;
begin
  Result := NvTake(updateDisease(PAnsiChar(NvArg(lastTime, 'lastTime')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvUpdateLeechdom(const lastTime, centreCode: string): string;
begin
  Result := NvTake(updateLeechdom(PAnsiChar(NvArg(lastTime, 'lastTime')),
    PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvGetInpatientGradeList(const centreCode, inpatientSn: string): string;
begin
  Result := NvTake(getInpatientGradeList(PAnsiChar(NvArg(centreCode, 'centreCode')),
    PAnsiChar(NvArg(inpatientSn, 'inpatientSn'))));
end;

function NvMatchUpdate(const centreCode, code, hisCode, hisName, hisSpec, hisUnit, hisConf,
  hisPrice: string): string;
begin
  Result := NvTake(matchUpdate(PAnsiChar(NvArg(centreCode, 'centreCode')), PAnsiChar(NvArg(code, 'code')),
    PAnsiChar(NvArg(hisCode, 'hisCode')), PAnsiChar(NvArg(hisName, 'hisName')),
    PAnsiChar(NvArg(hisSpec, 'hisSpec')), PAnsiChar(NvArg(hisUnit, 'hisUnit')),
    PAnsiChar(NvArg(hisConf, 'hisConf')), PAnsiChar(NvArg(hisPrice, 'hisPrice'))));
end;

function NvMatchSeek(const centreCode, code, hisCode: string): string;
begin
  Result := NvTake(matchSeek(PAnsiChar(NvArg(centreCode, 'centreCode')), PAnsiChar(NvArg(code, 'code')),
    PAnsiChar(NvArg(hisCode, 'hisCode'))));
end;

function NvRedeemTypeDown(const centreCode: string): string;
begin
  Result := NvTake(redeemTypeDown(PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvOfficeCodeDown(const centreCode: string): string;
begin
  Result := NvTake(officeCodeDown(PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;

function NvConnectTesting(const centreCode: string): string;
begin
  Result := NvTake(connectTesting(PAnsiChar(NvArg(centreCode, 'centreCode'))));
end;
{ END nv_export_files: string function definitions }

initialization

finalization
  NvForget;

end.
