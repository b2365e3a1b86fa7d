unit Control;
{ if, case, for, while, repeat, break, continue, exit. }

var
  calls: Integer;

function Bound(n: Integer): Integer;
begin
  calls := calls + 1;
  Result := n;
end;

function Classify(n: Integer): String;
begin
  case n of
    0: Result := 'zero';
    1, 3, 5, 7, 9: Result := 'odd digit';
    2, 4, 6, 8: Result := 'even digit';
    10..99: Result := 'two digits';
  else
    Result := 'other';
  end;
end;

function Kind(c: Char): String;
begin
  case c of
    'a'..'z': Result := 'lower';
    'A'..'Z': Result := 'upper';
    '0'..'9', '_': Result := 'digit or underscore';
  else
    Result := 'symbol';
  end;
end;

function FirstOver(limit: Integer): Integer;
var
  i: Integer;
begin
  Result := -1;
  for i := 1 to 100 do
    if i * i > limit then
    begin
      Result := i;
      Exit;
    end;
end;

procedure Main;
var
  i, j, n: Integer;
  s: String;
begin
  if calls = 0 then WriteLn('no calls yet') else WriteLn('calls');
  if calls > 0 then WriteLn('never')
  else if calls = 0 then WriteLn('nested else')
  else WriteLn('never either');

  WriteLn(Classify(0), ', ', Classify(7), ', ', Classify(4), ', ', Classify(42), ', ', Classify(-5));
  WriteLn(Kind('q'), ', ', Kind('Q'), ', ', Kind('5'), ', ', Kind('_'), ', ', Kind('#'));

  { the bounds are evaluated once }
  s := '';
  for i := Bound(1) to Bound(5) do s := s + IntToStr(i);
  WriteLn(s, ' bounds evaluated ', calls, ' times');
  s := '';
  for i := 5 downto 1 do s := s + IntToStr(i);
  WriteLn(s);
  n := 0;
  for i := 3 to 1 do n := n + 1;
  WriteLn('empty loop ran ', n, ' times');

  { break and continue }
  s := '';
  for i := 1 to 10 do
  begin
    if i mod 2 = 0 then Continue;
    if i > 7 then Break;
    s := s + IntToStr(i);
  end;
  WriteLn(s);

  i := 0;
  while i < 100 do
  begin
    i := i + 7;
    if i = 21 then Continue;
    if i > 40 then Break;
  end;
  WriteLn('while ended at ', i);

  j := 0;
  repeat
    j := j + 1;
  until j >= 5;
  WriteLn('repeat ended at ', j);

  n := 0;
  for i := 1 to 3 do
    for j := 1 to 3 do
    begin
      if j = 2 then Break;
      n := n + 1;
    end;
  WriteLn('inner break leaves outer loop running: ', n);

  WriteLn('first square over 50: ', FirstOver(50));

  { and/or on booleans stop as soon as the answer is known }
  n := 0;
  if (n <> 0) and (10 div n > 1) then WriteLn('never') else WriteLn('and stopped early');
  if (n = 0) or (10 div n > 1) then WriteLn('or stopped early');
  calls := 0;
  if (Bound(1) = 2) and (Bound(2) = 2) then WriteLn('never');
  WriteLn('second operand skipped: ', calls = 1);
end;

end.
