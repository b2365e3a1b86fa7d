{nofpc} unit Variants;
{ Values are variants with Delphi's rules. }

var
  v, w, u: Variant;
  anything: TWhatever;

procedure Main;
var
  i: Integer;
  b: Byte;
  d: Double;
  s: String;
begin
  v := 2147483647;
  v := v + 1;
  WriteLn('past 32 bits: ', v);
  v := 9223372036854775807;
  v := v + 1;
  WriteLn('past 64 bits: ', v);
  WriteLn('slash: ', 10 / 4, ' ', 8 / 2);
  WriteLn('div on floats: ', 7.5 div 2, ' ', 6.5 div 2, ' ', 8.5 mod 3);
  i := 2.5;  WriteLn('2.5 into an integer: ', i);
  i := 3.5;  WriteLn('3.5 into an integer: ', i);
  i := -2.5; WriteLn('-2.5 into an integer: ', i);
  b := 258;  WriteLn('258 into a byte: ', b);
  d := 3;    WriteLn('3 into a double: ', d / 2);
  s := 42;   WriteLn('42 into a string: ', s + '!');
  w := '10';
  WriteLn('numeric string plus number: ', w + 5);
  WriteLn('string plus string: ', w + '5');
  WriteLn('compare across kinds: ', 3 = 3.0, ' ', 2 < 2.5, ' ', '10' = 10);
  anything := 'any type name I do not know holds a variant';
  WriteLn(anything);
  anything := 1.25;
  WriteLn(anything * 4);
  v := True;
  WriteLn('boolean as variant: ', v, ' ', not v);
  WriteLn('unassigned: [', u + '', '] ', u + 1);
end;

end.
