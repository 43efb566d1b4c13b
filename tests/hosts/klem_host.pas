{ A Pascal host of the library in Delphi mode: declares what it uses as
  external functions, as a Delphi program would, and runs the pipeline of
  tests/c_host_test.c, checking the same values. }
program klem_host;

{$mode delphi}

uses
  SysUtils;

type
  TKlemHandle = Pointer;

const
  KlemLibrary = 'klem';

function KLEM_CreateCKorPelora: TKlemHandle; stdcall; external KlemLibrary;
function KLEM_FreeCKorPelora(handle: TKlemHandle): UInt32; stdcall; external KlemLibrary;
function KLEM_GetError(handle: TKlemHandle; buffer: PAnsiChar): UInt32; stdcall; external KlemLibrary;
function KLEM_Create(handle: TKlemHandle; width, height: Int32; bitsPerPixel: UInt32): UInt32;
  stdcall; external KlemLibrary;
function KLEM_AttachNoFree(handle: TKlemHandle; memory: Pointer; sizeInBytes: UInt32;
  width, height: Int32; bitsPerPixel: UInt32): UInt32; stdcall; external KlemLibrary;
function KLEM_GetImageMemory(handle: TKlemHandle; out memory: Pointer): UInt32;
  stdcall; external KlemLibrary;
function KLEM_Add(handle, source: TKlemHandle): UInt32; stdcall; external KlemLibrary;
function KLEM_AddConstant(handle: TKlemHandle; constant: UInt32): UInt32; stdcall; external KlemLibrary;
function KLEM_Filter(handle: TKlemHandle; number: Int32; source: TKlemHandle): UInt32;
  stdcall; external KlemLibrary;
function KLEM_Resize(handle, source: TKlemHandle; width, height, mode: Int32): UInt32;
  stdcall; external KlemLibrary;
function KLEM_Rotate(handle, source: TKlemHandle; angle: Double; mode: Int32): UInt32;
  stdcall; external KlemLibrary;

var
  failures: Integer = 0;

procedure Expect(condition: Boolean; const what: string);
begin
  if condition then Exit;
  WriteLn(ErrOutput, 'failed: ', what);
  Inc(failures);
end;

var
  a, b, filtered, big, turned: TKlemHandle;
  pixels: array[0..11] of Byte;
  result_: array[0..47] of Byte;
  error: array[0..1023] of AnsiChar;
  memory: Pointer;
  i, sum: Integer;
begin
  a := KLEM_CreateCKorPelora;
  b := KLEM_CreateCKorPelora;
  filtered := KLEM_CreateCKorPelora;
  big := KLEM_CreateCKorPelora;
  turned := KLEM_CreateCKorPelora;
  Expect((a <> nil) and (b <> nil) and (turned <> nil), 'handles');
  for i := 0 to 11 do pixels[i] := 10 * i;
  Expect(KLEM_AttachNoFree(a, @pixels[0], SizeOf(pixels), 4, 3, 8) = 0, 'attach');
  Expect((KLEM_Create(b, 4, 3, 8) = 0) and (KLEM_AddConstant(b, 7) = 0), 'image of 7s');
  Expect(KLEM_Add(a, b) = 0, 'add');
  Expect((pixels[0] = 7) and (pixels[11] = 117), 'add wrote the attached buffer');
  Expect((KLEM_Create(filtered, 4, 3, 8) = 0) and (KLEM_Filter(filtered, 3, a) = 0), 'filter');
  Expect((KLEM_Create(big, 8, 6, 8) = 0) and (KLEM_Resize(big, filtered, 8, 6, 3) = 0), 'resize');
  Expect((KLEM_Create(turned, 6, 8, 8) = 0) and (KLEM_Rotate(turned, big, 90.0, 5) = 0), 'rotate');

  memory := nil;
  Expect((KLEM_GetImageMemory(turned, memory) = 0) and (memory <> nil), 'image memory');
  FillChar(result_, SizeOf(result_), 0);
  if memory <> nil then Move(memory^, result_[0], SizeOf(result_));
  sum := 0;
  for i := 0 to 47 do Inc(sum, result_[i]);
  Expect(sum = 3376, 'pixel sum ' + IntToStr(sum));
  Expect((result_[5] = 7) and (result_[0] = 87) and (result_[7 * 6] = 117), 'turned corners');
  Expect((result_[2 * 6 + 2] = 107) and (result_[4 * 6 + 2] = 117) and (result_[2 * 6 + 4] = 17),
    'turned inner pixels');

  Expect(KLEM_Add(a, big) = 1, 'add of different sizes fails');
  Expect((KLEM_GetError(a, @error[0]) = 0) and (StrPas(PAnsiChar(@error[0])) = 'Pictures of different size!'),
    'error text ''' + StrPas(PAnsiChar(@error[0])) + '''');

  KLEM_FreeCKorPelora(turned);
  KLEM_FreeCKorPelora(big);
  KLEM_FreeCKorPelora(filtered);
  KLEM_FreeCKorPelora(b);
  Expect(KLEM_FreeCKorPelora(a) = 0, 'free');
  Expect(KLEM_FreeCKorPelora(nil) = $80070057, 'null handle');
  if failures = 0 then WriteLn('Pascal host: all checks held');
  if failures <> 0 then Halt(1);
end.
