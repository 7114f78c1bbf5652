unit Literals;
interface
const
  A = 'it''s'; B = ''''; C = #13#10#; D = $FF + $; E = 1..9; F = 1.5; G = 1E-5;
  H = 'cut off
  ; I = (.1, 2.); J = @K; L = ^M; N = 1 <> 2; O = 3 <= 4 >= 5;
  P = | ~ ` ! " % & ? \ ;
  Q = (*) still a comment *) ;
  R = // to the line end
    2;
implementation
end.
