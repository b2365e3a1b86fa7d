unit Exceptions;
{ try/except, on E: Exception do, raise, re-raise, try/finally. }

var
  log: String;

procedure Fail(const msg: String);
begin
  raise Exception.Create(msg);
end;

procedure Guarded(n: Integer);
begin
  try
    if n > 0 then Fail('too big: ' + IntToStr(n));
    log := log + 'ok;';
  finally
    log := log + 'cleanup;';
  end;
end;

function SafeDiv(a, b: Integer): Integer;
begin
  try
    Result := a div b;
  except
    Result := -1;
  end;
end;

function Early(n: Integer): Integer;
begin
  Result := 0;
  try
    if n = 1 then Exit;
    Result := 2;
  finally
    Result := Result + 10;
  end;
end;

procedure Main;
var
  i: Integer;
begin
  try
    Fail('first');
    WriteLn('not reached');
  except
    on E: Exception do WriteLn('caught ', E.Message);
  end;

  try
    Guarded(0);
    Guarded(3);
  except
    on E: Exception do log := log + 'handled ' + E.Message + ';';
  end;
  WriteLn(log);

  WriteLn('safe div ', SafeDiv(10, 2), ' ', SafeDiv(1, 0));

  try
    try
      Fail('inner');
    except
      on E: Exception do
      begin
        WriteLn('inner handler saw ', E.Message);
        raise;
      end;
    end;
  except
    on E: Exception do WriteLn('outer handler saw ', E.Message);
  end;

  try
    i := StrToInt('12x');
    WriteLn(i);
  except
    on E: EConvertError do WriteLn('conversion failed');
  end;

  try
    i := 0;
    i := 7 div i;
  except
    on E: EDivByZero do WriteLn('div by zero: ', E.Message);
  end;

  WriteLn('early exit runs finally: ', Early(1), ' ', Early(2));

  for i := 1 to 3 do
  begin
    try
      if i = 2 then Break;
    finally
      WriteLn('finally in loop ', i);
    end;
  end;
end;

end.
