{nofpc} unit Undeclared;
{ A name that neither the script, the built-ins nor the host take ends the run with an error. }

procedure Main;
begin
  WriteLn('before');
  CameraShake(3);
  WriteLn('never printed');
end;

end.
