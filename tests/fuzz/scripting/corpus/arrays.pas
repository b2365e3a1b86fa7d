unit Arrays;
{ Static arrays: declared types, bounds, nesting, copies and var parameters. }

type
  TVec = array[1..3] of Double;
  TGrid = array[0..2, 0..2] of Integer;

var
  squares: array[0..9] of Integer;
  names: array[1..3] of String;

procedure Fill(var g: TGrid);
var
  r, c: Integer;
begin
  for r := 0 to 2 do
    for c := 0 to 2 do
      g[r, c] := r * 3 + c;
end;

function Sum(const v: TVec): Double;
var
  i: Integer;
begin
  Result := 0;
  for i := Low(v) to High(v) do Result := Result + v[i];
end;

procedure Main;
var
  i: Integer;
  g: TGrid;
  v, w: TVec;
  s: String;
begin
  for i := 0 to 9 do squares[i] := i * i;
  WriteLn(squares[0], ' ', squares[5], ' ', squares[9], ' ', Length(squares), ' ', Low(squares), ' ', High(squares));
  names[1] := 'one'; names[2] := 'two'; names[3] := 'three';
  s := '';
  for i := 1 to 3 do s := s + names[i] + ' ';
  WriteLn(s);
  Fill(g);
  WriteLn(g[0, 0], ' ', g[1, 2], ' ', g[2][1], ' ', g[2, 2]);
  v[1] := 1.5; v[2] := 2.5; v[3] := -1;
  w := v;
  w[1] := 100;
  WriteLn(FloatToStr(Sum(v)), ' ', FloatToStr(Sum(w)), ' ', FloatToStr(v[1]));
  WriteLn(3 in [1, 2, 3], ' ', 7 in [1..5], ' ', 'c' in ['a'..'f']);
end;

end.
