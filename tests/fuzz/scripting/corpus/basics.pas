unit Basics;
{ Literals, constants, variables of every basic type, precedence and comments. }
(* a comment of the other kind *)
// and a line comment

const
  Answer = 42;
  Hex = $FF;
  Big = 3000000000;
  Greeting = 'it''s';
  Crlf = #13#10;
  Letter = #65;
  Mixed = 'a'#66'c';
  Tiny = 1.5E-3;
  Huge = 2.5e10;
  Derived = Answer * 2 + Hex;

var
  i: Integer;
  b: Byte;
  w: Word;
  sm: Smallint;
  li: Longint;
  c: Cardinal;
  i64: Int64;
  d: Double;
  r: Real;
  e: Extended;
  bo: Boolean;
  s: String;
  ch: Char;

procedure Main;
begin
  WriteLn(Answer, ' ', Hex, ' ', Big, ' ', Derived);
  WriteLn(Greeting, ' ', Letter, ' ', Mixed, ' ', Length(Crlf));
  WriteLn(FloatToStr(Tiny), ' ', FloatToStr(Huge));
  i := 7; b := 200; w := 60000; sm := -30000; li := 123456; c := 4000000000; i64 := 9000000000;
  WriteLn(i, ' ', b, ' ', w, ' ', sm, ' ', li, ' ', c, ' ', i64);
  d := 0.5; r := 2.25; e := -1.75;
  WriteLn(FloatToStr(d), ' ', FloatToStr(r), ' ', FloatToStr(e));
  bo := True; s := 'text'; ch := 'z';
  WriteLn(bo, ' ', not bo, ' ', s, ' ', ch);
  { precedence: not and unary first, then * / div mod and shl shr, then + - or xor, then comparisons }
  WriteLn(2 + 3 * 4, ' ', (2 + 3) * 4, ' ', 10 - 4 - 3, ' ', 100 div 7 mod 4, ' ', -2 * 3);
  WriteLn(1 shl 4 + 1, ' ', 256 shr 2 * 2, ' ', 6 and 3 or 8, ' ', 5 xor 1 + 1);
  WriteLn(1 + 2 = 3, ' ', 2 * 3 < 5, ' ', not (1 > 2));
  { names ignore case }
  I := 3; WRITELN(i + I);
end;

end.
