{nofpc} unit NoMain;
{ Without a routine named main nothing runs. }

procedure KillScript;
begin
end;

procedure Other;
begin
  WriteLn('never printed');
end;

end.
