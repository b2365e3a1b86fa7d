unit Strings;
{ String routines, indexing, comparison and Format. }

procedure Main;
var
  s, t: String;
  i, n: Integer;
  c: Char;
begin
  s := 'Hello';
  t := s + ', ' + 'World';
  WriteLn(t, ' ', Length(t));
  WriteLn(Copy(t, 1, 5), '|', Copy(t, 8, 100), '|', Copy(t, 50, 2), '|', Copy(t, 0, 2), '|');
  WriteLn(Pos('World', t), ' ', Pos('x', t), ' ', Pos('l', t));
  WriteLn(UpperCase(t), ' ', LowerCase(t));
  WriteLn('[', Trim('  padded  '), ']');
  WriteLn(IntToStr(-42), ' ', StrToInt('123') + 1, ' ', StrToInt(' 7'), ' ', StrToInt('$1F'));
  WriteLn(StrToIntDef('abc', -1), ' ', StrToIntDef('99', -1));
  WriteLn(FloatToStr(StrToFloat('2.5') * 2));
  WriteLn(FloatToStr(0.1), ' ', FloatToStr(100), ' ', FloatToStr(1.0 / 4), ' ', FloatToStr(-12.125));
  WriteLn(FloatToStr(123456789012.5), ' ', FloatToStr(0.0001), ' ', FloatToStr(0.00001234), ' ', FloatToStr(1e20));
  WriteLn(Format('%d|%5d|%-5d|%.3d|%s|%8s|%-8s|', [42, 42, 42, 7, 'abc', 'right', 'left']));
  WriteLn(Format('%f|%.1f|%.0f|%8.2f|%x|%%', [3.14159, 2.25, 2.5, -1.005, 255]));
  c := t[1];
  WriteLn(c, ' ', t[Length(t)], ' ', Ord(c), ' ', Chr(Ord(c) + 1));
  s[1] := 'J';
  WriteLn(s);
  n := 0;
  for i := 1 to Length(t) do
    if t[i] = 'l' then n := n + 1;
  WriteLn('l appears ', n, ' times');
  WriteLn('abc' < 'abd', ' ', 'b' > 'abc', ' ', 'same' = 'same', ' ', 'a' <> 'A');
  s := '';
  for i := 1 to 5 do s := s + Chr(Ord('a') + i - 1);
  WriteLn(s);
end;

end.
