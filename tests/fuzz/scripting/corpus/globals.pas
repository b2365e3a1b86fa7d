unit Globals;
{ Constants evaluated from other constants and built-ins; globals that keep their values between calls. }

const
  Base = 10;
  Twice = Base * 2;
  Code = Ord('A') + 1;
  Half = Twice / 4;
  Name = 'K' + 'L';
  Yes = True;

var
  calls: Integer;
  history: String;

procedure Note(const what: String);
begin
  calls := calls + 1;
  history := history + what;
end;

procedure Main;
begin
  WriteLn(Base, ' ', Twice, ' ', Code, ' ', FloatToStr(Half), ' ', Name, ' ', Yes);
  Note('a');
  Note('b');
  Note('c');
  WriteLn(calls, ' ', history);
end;

end.
