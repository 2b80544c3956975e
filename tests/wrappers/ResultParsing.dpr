// SPDX-License-Identifier: MIT
{ NvInterFace.pas held to the cases of result_cases.py (the file named
  first), as ResultParsing.cs is: each document read by NvParse and by
  NvElement, NvRowCount and NvColumn, each argument's GBK bytes or refusal,
  each result decoded, and every column of every row of the 5,000-row
  catalogue read by NvColumn within a second. Free Pascal, -Mdelphi or
  -Mdelphiunicode; exits 0 when every case holds. }
program ResultParsing;

{$IFDEF MSWINDOWS}{$APPTYPE CONSOLE}{$ENDIF}
{ The case file's fields and Free Pascal's RTL (TStringList, IntToStr) are
  AnsiString: their ASCII converts to and from the Unicode mode's string. }
{$WARN 4104 OFF}{$WARN 4105 OFF}

uses
{$IFDEF UNIX}
  cwstring,
{$ENDIF}
  SysUtils, Classes, NvInterFace;

var
  Failures: Integer;

procedure Expect(const What: string; Holds: Boolean; const Detail: string);
begin
  if Holds then
    Exit;
  WriteLn('FAILED: ', What, ': ', Detail);
  Inc(Failures);
end;

{ The Nth field (from 0) of a line of fields separated by one blank. }
function Field(const Line: string; N: Integer): string;
var
  At, Stop: Integer;
begin
  At := 1;
  for Stop := 1 to N do
    At := Pos(' ', Copy(Line, At, MaxInt)) + At;
  Stop := Pos(' ', Copy(Line, At, MaxInt));
  if Stop = 0 then
    Result := Copy(Line, At, MaxInt)
  else
    Result := Copy(Line, At, Stop - 1);
end;

function Hex(const Text: string): NvBytes;
var
  I: Integer;
begin
  Result := '';
  if Text = '.' then
    Exit;
  SetLength(Result, Length(Text) div 2);
  for I := 1 to Length(Result) do
    Result[I] := AnsiChar(StrToInt('$' + Copy(Text, 2 * I - 1, 2)));
end;

function Gb(const Text: string): string;
begin
  if Text = '-' then
    Result := ''
  else
    Result := NvFromGbk(Hex(Text));
end;

function SameBytes(const A, B: NvBytes): Boolean;
begin
  Result := (Length(A) = Length(B)) and ((A = '') or CompareMem(Pointer(A), Pointer(B), Length(A)));
end;

{ UTF-16 code units as they are, lone surrogates included (ASCII only in
  -Mdelphi). }
function Utf16(const Text: string): string;
var
  Bytes: NvBytes;
  I: Integer;
begin
  Bytes := Hex(Text);
  SetLength(Result, Length(Bytes) div 2);
  for I := 1 to Length(Result) do
    Result[I] := Char(Ord(Bytes[2 * I - 1]) shl 8 or Ord(Bytes[2 * I]));
end;

{ case NAME / doc / refused or head and rows / end: the index of its last line. }
function CheckCase(Lines: TStringList; At: Integer): Integer;
var
  Name, Doc, Problem, Value, ColName: string;
  Parsed: TNvResult;
  Holds: Boolean;
  Row, Columns: Integer;
begin
  Name := Field(Lines[At], 1);
  Inc(At);
  Doc := Gb(Field(Lines[At], 1));
  Inc(At);
  Problem := '';
  try
    Parsed := NvParse(Doc);
  except
    on E: ENvDocument do
    begin
      Parsed := nil;
      Problem := E.Message;
    end;
  end;
  try
    if Lines[At] = 'refused' then
    begin
      Expect(Name + ' is refused', (Parsed = nil) and (NvRowCount(Doc) = 0), '');
      Result := At;
      Exit;
    end;
    Holds := (Parsed <> nil) and (Parsed.FunctionId = Gb(Field(Lines[At], 1))) and
      (NvElement(Doc, 'function_id') = Parsed.FunctionId) and
      (Parsed.HasOutCode = (Field(Lines[At], 2) <> '-')) and (Parsed.OutCode = Gb(Field(Lines[At], 2))) and
      (NvElement(Doc, 'out_code') = Parsed.OutCode) and (Parsed.OutText = Gb(Field(Lines[At], 3))) and
      (NvElement(Doc, 'out_text') = Parsed.OutText) and
      (Parsed.Succeeded = ((Field(Lines[At], 2) = '-') or (Parsed.OutCode = '000')));
    Row := -1;
    Columns := 0;
    repeat
      Inc(At);
      if (Lines[At] = 'row') or (Lines[At] = 'end') then
      begin
        Holds := Holds and ((Row < 0) or (Parsed.ColumnCount = Columns));
        Inc(Row);
        Columns := 0;
      end
      else
      begin
        Inc(Columns);
        ColName := Gb(Field(Lines[At], 1));
        Holds := Holds and Parsed.FindColumn(Row, ColName, Value) and (Value = Gb(Field(Lines[At], 2))) and
          (NvColumn(Doc, ColName, Row) = Value);
      end;
    until Lines[At] = 'end';
    Holds := Holds and (Parsed.RowCount = Row) and (NvRowCount(Doc) = Parsed.RowCount) and
      (NvColumn(Doc, 'no such', 0) = '');
    Expect(Name + ' reads as framed', Holds, Problem);
    Result := At;
  finally
    Parsed.Free;
  end;
end;

{ encode TEXT gbk BYTES BASE64, or encode TEXT refused CODEPOINT INDEX. }
procedure CheckEncoding(const Line: string);
var
  Text: string;
  CodePoint: Integer;
begin
  CodePoint := -1;
  if Field(Line, 2) = 'refused' then
    CodePoint := StrToInt('$' + Field(Line, 3));
{$IFDEF UNICODE}
  Text := Utf16(Field(Line, 1));
{$ELSE}
  { The bytes of a string pass as they are: only a #0 is refused. }
  if CodePoint > 0 then
    Exit;
  if CodePoint = 0 then
    Text := Utf16(Field(Line, 1))
  else
    Text := Hex(Field(Line, 3));
{$ENDIF}
  if Field(Line, 2) = 'gbk' then
  begin
    Expect(Field(Line, 1) + ' as GBK', SameBytes(NvArg(Text, 'memberName'), Hex(Field(Line, 3))), '');
    Expect(Field(Line, 1) + ' reaches the library byte for byte',
      NvEncypt(Text) = StringReplace(Field(Line, 4), '.', '', []), NvEncypt(Text));
    Exit;
  end;
  try
    NvArg(Text, 'memberName');
    Expect(Field(Line, 1) + ' is refused', False, 'it was converted');
  except
    on E: ENvGbkArgument do
      Expect(Field(Line, 1) + ' is refused naming the argument and character', (E.ArgName = 'memberName') and
        (E.CodePoint = CodePoint) and (E.Index = StrToInt(Field(Line, 4)) + 1) and
        (Pos('memberName', E.Message) > 0) and ((CodePoint = 0) or (Pos('U+' + Field(Line, 3), E.Message) > 0)),
        E.Message);
  end;
end;

procedure CheckDecoding(const Line: string);
var
  Text: string;
begin
  Text := NvDeEncypt(Field(Line, 1));
{$IFDEF UNICODE}
  Expect(Field(Line, 1) + ' decoded', Text = Utf16(Field(Line, 2)), Text);
{$ELSE}
  Expect(Field(Line, 1) + ' passes as bytes', SameBytes(Text, Hex(Field(Line, 3))), Text);
{$ENDIF}
end;

procedure CheckCatalogue(const Line: string);
var
  Stream: TFileStream;
  Bytes: NvBytes;
  Doc, Filler: string;
  Names: array of string;
  Rows, Row, C: Integer;
  Started, Decoded, Read: QWord;
  Holds: Boolean;
begin
  Stream := TFileStream.Create(Field(Line, 1), fmOpenRead);
  try
    SetLength(Bytes, Stream.Size);
    Stream.ReadBuffer(Bytes[1], Length(Bytes));
  finally
    Stream.Free;
  end;
  Rows := StrToInt(Field(Line, 2));
  Filler := Gb(Field(Line, 3));
  SetLength(Names, 18);
  for C := 0 to High(Names) do
    Names[C] := Field(Line, 4 + C);
  Started := GetTickCount64;
  Doc := NvFromGbk(Bytes);
  Decoded := GetTickCount64 - Started;
  Started := GetTickCount64;
  Holds := NvRowCount(Doc) = Rows;
  Row := 0;
  { A reading slower than linear would take minutes: it stops at 2 s. }
  while (Row < Rows) and (GetTickCount64 - Started < 2000) do
  begin
    for C := 0 to High(Names) do
      Holds := (NvColumn(Doc, Names[C], Row) = IntToStr(Row) + '.' + IntToStr(C) + Filler) and Holds;
    Inc(Row);
  end;
  Read := GetTickCount64 - Started;
  WriteLn('catalogue of ', Rows, ' rows, ', Length(Bytes), ' bytes: decoded in ', Decoded, ' ms, every column of ',
    'every row read by NvColumn in ', Read, ' ms');
  Expect('every value of the catalogue', Holds and (Row = Rows), IntToStr(Row) + ' rows read');
  Expect('every value of the catalogue within a second', Read < 1000, IntToStr(Read) + ' ms');
  NvForget;
end;

var
  Lines: TStringList;
  At: Integer;
begin
  Failures := 0;
  Lines := TStringList.Create;
  Lines.LoadFromFile(ParamStr(1));
  At := 0;
  while At < Lines.Count do
  begin
    if Field(Lines[At], 0) = 'case' then
      At := CheckCase(Lines, At)
    else if Field(Lines[At], 0) = 'encode' then
      CheckEncoding(Lines[At])
    else if Field(Lines[At], 0) = 'decode' then
      CheckDecoding(Lines[At])
    else if Field(Lines[At], 0) = 'catalogue' then
      CheckCatalogue(Lines[At]);
    Inc(At);
  end;
  Lines.Free;
  try
{$IFDEF UNICODE}
    NvGetPersonInfo('341122000123', #$738B#$4DAE, '341122');
{$ELSE}
    NvGetPersonInfo('341122000123', 'op'#0'1', '341122');
{$ENDIF}
    Expect('NvGetPersonInfo refuses its operatorName', False, 'it was sent');
  except
    on E: ENvGbkArgument do
      Expect('NvGetPersonInfo''s refusal names operatorName', E.ArgName = 'operatorName', E.Message);
  end;
  if Failures = 0 then
    WriteLn('result parsing: every case holds')
  else
    WriteLn('result parsing: ', Failures, ' failures');
  if Failures <> 0 then
    Halt(1);
end.
