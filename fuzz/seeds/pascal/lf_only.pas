// header with LF line ends
unit LfOnly;
interface
(* multi

  line *)
procedure P;
implementation
end.
