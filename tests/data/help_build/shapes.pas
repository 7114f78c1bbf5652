{ Basic shapes for the <IDENT>Canvas demo. }
unit Shapes;

interface

uses Graphics;

type
  { A colour of a shape. }
  TShapeColor = (scRed, scGreen,
    scBlue);

  { The base of every shape.
    #SAMPLE
      Shape := TShape.Create(scRed);
      Shape.Draw; }
  TShape = class(TObject)
  private
    FColor: TShapeColor;
  protected
    // Paints the shape on a canvas.
    procedure Paint(Canvas: TCanvas); virtual; abstract;
  public
    { Creates a shape of colour AColor; it calls <T TShape.Paint>Paint</T>
      when drawn and keeps <T TShape.Color>the colour</T>. }
    constructor Create(AColor: TShapeColor);
    // Draws the shape.
    procedure Draw; virtual;
    { The colour, see TShapeColor. }
    property Color: TShapeColor read FColor write FColor;
    { Fired when the shape changes. }
    property OnChange: TNotifyEvent read FOnChange;
  end;

  { A class of shapes. }
  TShapeClass = class of TShape;

  { A point. }
  TPoint = record
    X, Y: Integer;
  end;

const
  { The largest number of shapes. }
  MaxShapes = 100;
  (* Where shapes start: {0, 0} on the café wall. *)
  Origin: TPoint = (X: 0; Y: 0);

var
  { Shapes drawn so far. }
  ShapeCount: Integer;

{ Creates a shape of the given class.
  #SAMPLE
    S := MakeShape(TShape);
}
function MakeShape(AClass: TShapeClass; const Name: string = '\'): TShape;

implementation

{ Draws the shape. }
procedure TShape.Draw;
begin
  try
    Paint(nil);
  finally
    Inc(ShapeCount);
  end;
  { a comment in the body }
end;

function MakeShape(AClass: TShapeClass; const Name: string): TShape;
begin
  Result := AClass.Create(scRed);
end;

end.
