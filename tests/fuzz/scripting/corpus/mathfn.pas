unit MathFn;
{ Arithmetic built-ins and integer operators. }

procedure Show(const name: String; x: Double);
begin
  WriteLn(name, ' ', Format('%.6f', [x]));
end;

procedure Main;
var
  x: Double;
  i: Integer;
begin
  WriteLn(Abs(-5), ' ', Sqr(7), ' ', FloatToStr(Abs(-2.5)), ' ', FloatToStr(Sqr(1.5)));
  Show('sqrt', Sqrt(2));
  Show('sin', Sin(1));
  Show('cos', Cos(1));
  Show('tan', Tan(1));
  Show('arctan', ArcTan(1));
  Show('arctan2', ArcTan2(1, -1));
  Show('arcsin', ArcSin(0.5));
  Show('arccos', ArcCos(0.5));
  Show('exp', Exp(1));
  Show('ln', Ln(10));
  Show('power', Power(2, 0.5));
  Show('pi', Pi);
  WriteLn(Round(2.5), ' ', Round(3.5), ' ', Round(-2.5), ' ', Round(2.6), ' ', Round(-0.5));
  WriteLn(Trunc(2.9), ' ', Trunc(-2.9), ' ', FloatToStr(Int(-3.7)), ' ', Format('%.2f', [Frac(3.75)]));
  WriteLn(Floor(-2.5), ' ', Ceil(-2.5), ' ', Floor(2.5), ' ', Ceil(2.1));
  WriteLn(Min(3, 9), ' ', Max(3, 9), ' ', FloatToStr(Min(2.5, 1.5)), ' ', FloatToStr(Max(2.5, 1.5)));
  WriteLn(Odd(3), ' ', Odd(4), ' ', Odd(-3));
  WriteLn(7 div 2, ' ', -7 div 2, ' ', 7 mod 3, ' ', -7 mod 3, ' ', 7 mod -3);
  WriteLn(FloatToStr(7 / 2), ' ', FloatToStr(1 / 8));
  WriteLn(12 and 10, ' ', 12 or 3, ' ', 12 xor 10, ' ', not 0, ' ', 1 shl 10, ' ', 1024 shr 3);
  x := 0;
  for i := 1 to 10 do x := x + 0.1;
  WriteLn(Format('%.10f', [x]), ' ', x = 1.0, ' ', Abs(x - 1.0) < 1e-9);
  WriteLn(2147483647 + 1, ' ', 3 * 1000000000);
end;

end.
