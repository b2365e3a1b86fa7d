{nofpc} unit Recursion;
{ Runaway recursion ends with an error, not a crash; the script's try/except cannot hold it. }

var
  depth: Integer;

procedure Down;
begin
  depth := depth + 1;
  Down;
end;

procedure Main;
begin
  WriteLn('going down');
  try
    Down;
  except
    WriteLn('caught, which must not happen');
  end;
end;

end.
