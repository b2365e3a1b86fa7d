{nofpc} unit Runtime;
{ Run-time errors the script can catch: bounds, conversions, raised exceptions with their class. }

var
  a: array[1..3] of Integer;

function Check(n: Integer): Integer;
begin
  if n < 0 then raise ENegative.Create('negative: ' + IntToStr(n));
  Result := n * 2;
end;

procedure Main;
var
  i: Integer;
begin
  try
    i := 4;
    a[i] := 1;
  except
    on E: Exception do WriteLn(E.ClassName, ': ', E.Message);
  end;
  try
    WriteLn(StrToFloat('1,5'));
  except
    on E: EConvertError do WriteLn(E.Message);
  end;
  try
    WriteLn(Check(4));
    WriteLn(Check(-1));
  except
    on E: ENegative do WriteLn('negative caught: ', E.Message);
    on E: Exception do WriteLn('never');
  end;
  try
    WriteLn(Format('%d', ['text']));
  except
    on E: Exception do WriteLn(E.Message);
  end;
  WriteLn(Sqrt(-1));
end;

end.
