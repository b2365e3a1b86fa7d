{nofpc} unit Dialect;
{ What the dialect accepts beyond strict Pascal: interface and implementation words, unknown units in uses,
  routines called before they are declared, initialised globals, typed constants. }

interface

uses Windows, SysUtils, CameraTools;

procedure Main;

implementation

const
  Limit: Integer = 3;
  Ratio: Double = 2;

var
  started: Integer = 100;

procedure Main;
var
  i: Integer;
begin
  for i := 1 to Limit do Later(i);
  WriteLn('started at ', started, ', ratio ', Ratio);
  WriteLn('first even: ', FirstEven(7));
  WriteLn('high integer: ', High(Integer), ', low smallint: ', Low(Smallint));
  WriteLn('pi: ', Format('%.4f', [Pi]), ', degrees: ', Round(RadToDeg(Pi / 2)));
end;

procedure Later(n: Integer);
begin
  started := started + n;
end;

function FirstEven(from: Integer): Integer;
begin
  while True do
  begin
    if not Odd(from) then Exit(from);
    from := from + 1;
  end;
end;

end.
