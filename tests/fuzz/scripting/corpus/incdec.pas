unit IncDec;
{ Inc and Dec, on every integer width. }

var
  total: Integer;

procedure Main;
var
  i: Integer;
  b: Byte;
  w: Word;
  arr: array[1..3] of Integer;
begin
  i := 10;
  Inc(i);
  Inc(i, 5);
  Dec(i, 2);
  Dec(i);
  WriteLn(i);
  b := 255;
  Inc(b);
  WriteLn('byte wraps to ', b);
  w := 0;
  Dec(w);
  WriteLn('word wraps to ', w);
  arr[1] := 0; arr[2] := 0; arr[3] := 0;
  Inc(arr[2], 7);
  WriteLn(arr[1], ' ', arr[2], ' ', arr[3]);
  for i := 1 to 4 do Inc(total, i);
  WriteLn('total ', total);
end;

end.
