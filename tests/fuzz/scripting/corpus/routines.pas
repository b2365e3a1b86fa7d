unit Routines;
{ Procedures and functions, parameters by value, var and const, locals, Result and the function's name. }

const
  Scale = 10;

var
  counter: Integer;

procedure Bump;
begin
  counter := counter + 1;
end;

procedure Swap(var a, b: Integer);
var
  t: Integer;
begin
  t := a;
  a := b;
  b := t;
end;

procedure Untouched(x: Integer);
begin
  x := x * 100;
end;

function Scaled(const x: Integer): Integer;
const
  Offset = 3;
begin
  Scaled := x * Scale + Offset;
end;

function Fact(n: Integer): Int64;
begin
  if n <= 1 then
    Result := 1
  else
    Result := n * Fact(n - 1);
end;

function IsEven(n: Integer): Boolean; forward;

function IsOdd(n: Integer): Boolean;
begin
  if n = 0 then Result := False else Result := IsEven(n - 1);
end;

function IsEven(n: Integer): Boolean;
begin
  if n = 0 then Result := True else Result := IsOdd(n - 1);
end;

procedure AddTo(var total: Double; amount: Double);
begin
  total := total + amount;
end;

function Describe(name: String; age: Integer): String;
var
  s: String;
begin
  s := name + ' is ' + IntToStr(age);
  Result := s;
end;

procedure Main;
var
  a, b, x: Integer;
  total: Double;
begin
  Bump;
  Bump();
  WriteLn('counter ', counter);
  a := 1; b := 2;
  Swap(a, b);
  WriteLn('swapped ', a, ' ', b);
  x := 5;
  Untouched(x);
  WriteLn('value parameter leaves ', x);
  WriteLn('scaled ', Scaled(4));
  WriteLn('20! = ', Fact(20));
  WriteLn('odd 7: ', IsOdd(7), ', even 7: ', IsEven(7));
  total := 1.5;
  AddTo(total, 2.25);
  AddTo(total, 0.25);
  WriteLn('total ', FloatToStr(total));
  WriteLn(Describe('Ann', 31));
end;

end.
