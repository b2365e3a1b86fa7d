unit Strings;

procedure Main;
var
  i: Integer;
  s: String;
begin
  s := '';
  for i := 1 to 200000 do
    s := s + IntToStr(i mod 10);
  WriteLn(Length(s));
end;

end.
