{ A drawing: an ordered collection of <IDENT>TShape objects, with the
  polygon shape that only drawings use. }
unit Drawing;

interface

uses Geometry, Shapes;

type
  { A closed polygon. Inherits its colour and events from TShape. }
  TPolygon = class(TCircle)
  private
    FPoints: array of TPoint2D;
    function GetPoint(Index: Integer): TPoint2D;
    function GetPointCount: Integer;
  protected
    procedure Paint; override;
  public
    { Adds a corner at the end of the outline. }
    procedure AddPoint(const P: TPoint2D);
    { The corners, in order. }
    property Points[Index: Integer]: TPoint2D read GetPoint; default;
    { Number of corners. }
    property PointCount: Integer read GetPointCount;
  published
    { Redeclared to document that polygons are never filled. }
    property Filled;
  end;

  { Holds the shapes of one picture and draws them in order. }
  TDrawing = class
  private
    FShapes: array of TShape;
    FOnChange: TShapeEvent;
  public
    { Adds a shape; the drawing owns it from then on. }
    procedure Add(Shape: TShape);
    { Draws every shape, back to front. }
    procedure DrawAll;
    { Raised when a shape is added (an event found by its name). }
    property OnChange: TShapeEvent read FOnChange write FOnChange;
  end;

var
  { The drawing the application works on. }
  ActiveDrawing: TDrawing;

{$IFNDEF SHAPES_FAST}
{ A slow consistency check, only in careful builds. }
procedure CheckDrawing(D: TDrawing);
{$ENDIF}

implementation

function TPolygon.GetPoint(Index: Integer): TPoint2D;
begin
  Result := FPoints[Index];
end;

function TPolygon.GetPointCount: Integer;
begin
  Result := Length(FPoints);
end;

procedure TPolygon.Paint;
begin
end;

procedure TPolygon.AddPoint(const P: TPoint2D);
begin
  SetLength(FPoints, Length(FPoints) + 1);
  FPoints[High(FPoints)] := P;
end;

procedure TDrawing.Add(Shape: TShape);
begin
  SetLength(FShapes, Length(FShapes) + 1);
  FShapes[High(FShapes)] := Shape;
  if Assigned(FOnChange) then FOnChange(Shape);
end;

procedure TDrawing.DrawAll;
var
  I: Integer;
begin
  for I := 0 to High(FShapes) do
    FShapes[I].Draw;
end;

{$IFNDEF SHAPES_FAST}
procedure CheckDrawing(D: TDrawing);
begin
end;
{$ENDIF}

end.
