{ Basic geometry for the Shapes example: points, rectangles and the
  colour and style types that every shape uses. <BR>See also
  <L Unit_Shapes>the shapes unit</L>. }
unit Geometry;

interface

{$I SHAPES.INC}

type
  { A point on the drawing surface, in device pixels. }
  TPoint2D = record
    X: Integer; // Horizontal position, growing to the right.
    Y: Integer; // Vertical position, growing downwards.
  end;

  { An axis-aligned rectangle given by two corners. Use <IDENT>RectWidth
    and RectHeight to measure it. }
  TRect2D = record
    TopLeft, BottomRight: TPoint2D;
  end;

  { The colours a shape can be painted with. }
  TShapeColor = (scBlack, scRed, scGreen, scBlue, scWhite);

  { Styles of the outline of a shape. }
  TLineStyle = (lsSolid, lsDashed, lsDotted);

  { A set of line styles. }
  TLineStyles = set of TLineStyle;

  { Converts a colour value to another, for example to print in grey. }
  TColorFilter = function(Color: TShapeColor): TShapeColor;

const
  { The point at the origin of the drawing surface. }
  Origin: TPoint2D = (X: 0; Y: 0);

  { Default colour of a new shape. }
  DefaultColor = scBlack;

  (* Separator used when a shape is written as text. A backslash and the
     braces in '\{ }' must reach the help file unharmed. *)
  TextSeparator = '\';

{$IFDEF SHAPES_DEBUG}
  { Only defined in debug builds. }
  DebugLevel = 3;
{$ENDIF}

var
  { How many shapes have been created since the program started. }
  ShapeCount: Integer;

{ Returns the width of a rectangle.
  #SAMPLE
    W := RectWidth(R);
    if W > 0 then
      Draw(R); }
function RectWidth(const R: TRect2D): Integer;
{ Returns the height of a rectangle. }
function RectHeight(const R: TRect2D): Integer;
{ Makes a point from its two coordinates. }
function MakePoint(X, Y: Integer): TPoint2D; overload;
{ Makes a point from a rectangle's top left corner. }
function MakePoint(const R: TRect2D): TPoint2D; overload;

implementation

function RectWidth(const R: TRect2D): Integer;
begin
  Result := R.BottomRight.X - R.TopLeft.X;
end;

function RectHeight(const R: TRect2D): Integer;
begin
  try
    Result := R.BottomRight.Y - R.TopLeft.Y;
  finally
  end;
end;

function MakePoint(X, Y: Integer): TPoint2D;
begin
  Result.X := X;
  Result.Y := Y;
end;

function MakePoint(const R: TRect2D): TPoint2D;
begin
  Result := R.TopLeft;
end;

end.
