{ Drawing shapes.
  See <L Overview>the overview</L> and <T TShape.Draw>Draw</T>. }
unit Shapes;

interface

uses Classes, SysUtils;

type
  { !#3! A shape on a canvas. <IDENT>TPoint2 keeps its origin.
    #SAMPLE
    Shape := TShape.Create(nil);
    Shape.Draw; }
  TShape = class(TComponent)
  private
    FOrigin: TPoint2;
    FOnChange: TNotifyEvent;
  protected
    procedure Changed; virtual; abstract;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    { Draws the shape<BR>at its origin. }
    procedure Draw(Canvas: TCanvas; Scale: Double = 1.0); virtual; overload;
    function Area: Double; virtual; stdcall;
    property Origin: TPoint2 read FOrigin write FOrigin;
    property Items[Index: Integer]: TShape read GetItem; default;
  published
    { !#EVENT! Fires when the shape changes. }
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

  TPoint2 = record
    X, Y: Double;
  end;

  TKind = (skCircle, skSquare, skTriangle);
  TKinds = set of TKind;
  TDrawProc = procedure(Shape: TShape) of object;

const
  { Pi to 5 places. }
  Pi5 = 3.14159;
  Names: array[TKind] of string = ('circle', 'square', 'it''s');

var
  { !#NV! Hidden. }
  Counter: Integer;

{ Returns the larger of A and B; see TShape. }
function Max(A, B: TShape): TShape;

implementation

{ !#C! The better comment for Max. }
function Max(A, B: TShape): TShape;
begin
  if A.Area > B.Area then Result := A else Result := B;
end;

end.
