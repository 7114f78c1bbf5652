{! #NV ! Internal helpers. }
unit Hidden;

interface

type
  TInternal = Byte;

implementation

end.
