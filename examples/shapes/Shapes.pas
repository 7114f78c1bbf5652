{ The shape classes of the example: an abstract <T TShape.Draw>drawable</T>
  base class and the events it raises. Geometry comes from the Geometry unit. }
unit Shapes;

interface

uses Geometry;

type
  TShape = class;

  { Class reference used to create shapes by kind. }
  TShapeClass = class of TShape;

  { Raised after a shape has been drawn. Sender is the shape. }
  TShapeEvent = procedure(Sender: TShape) of object;

  { Asks whether a shape may move; set Allow to False to keep it in place. }
  TMoveQueryEvent = procedure(Sender: TShape; var Allow: Boolean) of object;

  {! #BITMAP:SHAPE.BMP !
    The base class of every shape. A shape knows its bounds, its colour and
    how to draw itself.
    #SAMPLE
      Shape := TCircle.Create(nil);
      Shape.Color := scRed;
      Shape.Draw; }
  TShape = class(TObject)
  private
    FBounds: TRect2D;
    FColor: TShapeColor;
    FOnDrawn: TShapeEvent;
    FOnMoveQuery: TMoveQueryEvent;
    FName: string;
    procedure SetColor(Value: TShapeColor);
  protected
    { Paints the shape; every kind of shape overrides it. }
    procedure Paint; virtual; abstract;
    { Calls OnDrawn when it is assigned. }
    procedure DoDrawn; dynamic;
  public
    { Creates a shape with the default colour. }
    constructor Create(AOwner: TObject); virtual;
    { Frees the shape. }
    destructor Destroy; override;
    { Draws the shape and raises OnDrawn. }
    procedure Draw;
    { Moves the shape by DX and DY pixels, when OnMoveQuery allows it. }
    procedure MoveBy(DX, DY: Integer); overload;
    { Moves the shape by the coordinates of a point. }
    procedure MoveBy(const Delta: TPoint2D); overload;
    { The rectangle that encloses the shape. }
    property Bounds: TRect2D read FBounds write FBounds;
    { A free name, for lists and messages. }
    property Name: string read FName write FName;
  published
    { Colour the shape is painted with. }
    property Color: TShapeColor read FColor write SetColor default scBlack;
    { Raised after every <IDENT>Draw. }
    property OnDrawn: TShapeEvent read FOnDrawn write FOnDrawn;
    {! #EVENT ! Raised before the shape moves. }
    property OnMoveQuery: TMoveQueryEvent read FOnMoveQuery write FOnMoveQuery;
  end;

  { A circle given by its bounds. }
  TCircle = class(TShape)
  private
    FFilled: Boolean;
  protected
    procedure Paint; override;
  public
    { Radius in pixels: half the width of the bounds. }
    function Radius: Integer;
  published
    { True to fill the circle with its colour. }
    property Filled: Boolean read FFilled write FFilled stored True;
    property Color;
  end;

  {! #NV ! Internal helper, never documented. }
  TShapeHelper = class
  end;

{ Creates a shape of the given class.<P>The new shape has the default
  colour; see <IDENT>DefaultColor. }
function CreateShape(AClass: TShapeClass): TShape;

implementation

procedure TShape.SetColor(Value: TShapeColor);
begin
  FColor := Value;
end;

procedure TShape.DoDrawn;
begin
  if Assigned(FOnDrawn) then FOnDrawn(Self);
end;

constructor TShape.Create(AOwner: TObject);
begin
  inherited Create;
  FColor := DefaultColor;
end;

destructor TShape.Destroy;
begin
  inherited Destroy;
end;

procedure TShape.Draw;
begin
  Paint;
  DoDrawn;
end;

procedure TShape.MoveBy(DX, DY: Integer);
var
  Allow: Boolean;
begin
  Allow := True;
  if Assigned(FOnMoveQuery) then FOnMoveQuery(Self, Allow);
  if Allow then
  begin
    Inc(FBounds.TopLeft.X, DX);
    Inc(FBounds.TopLeft.Y, DY);
  end;
end;

procedure TShape.MoveBy(const Delta: TPoint2D);
begin
  MoveBy(Delta.X, Delta.Y);
end;

procedure TCircle.Paint;
begin
end;

function TCircle.Radius: Integer;
begin
  Result := RectWidth(Bounds) div 2;
end;

function CreateShape(AClass: TShapeClass): TShape;
begin
  Result := AClass.Create(nil);
end;

end.
