unit IntLoop;

procedure Main;
var
  i, s: Integer;
begin
  s := 0;
  for i := 1 to 10000000 do
    s := (s + i * 3) mod 1000003;
  WriteLn(s);
end;

end.
