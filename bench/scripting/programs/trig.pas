unit Trig;

procedure Main;
var
  i: Integer;
  x: Double;
begin
  x := 0;
  for i := 1 to 1000000 do
    x := x + Sin(i * 0.001) * Cos(i * 0.002);
  WriteLn(Format('%.6f', [x]));
end;

end.
