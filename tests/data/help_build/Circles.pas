// Circles, drawn with <L Overview>the overview</L> in mind.
unit Circles;

interface

uses Shapes;

{$I circle.inc}

type
  { A round shape. }
  TCircle = class(TShape)
  public
    // The radius in pixels.
    Radius: Integer;
    { Draws a circle of the given Radius. }
    procedure Draw; override;
    property Color;
    {! #EVENT ! Fired after drawing. }
    property AfterDraw: TNotifyEvent read FAfterDraw;
  end;

{$IFDEF DEBUG}
{ Only in debug builds. }
procedure DumpCircles;
{$ENDIF}

implementation

end.
