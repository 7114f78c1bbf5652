unit Directives;
{$mode objfpc}{$H+}
interface
{$IFDEF FUZZ}
const Defined = 1;
{$ELSE}
const NotDefined = 1;
{$ENDIF}
{$IFNDEF FUZZ} var Skipped: Integer; {$ENDIF}
{$DEFINE EXTRA}
{$IFDEF EXTRA}{$IFDEF FUZZ} type TNested = Integer; {$ENDIF}{$ENDIF}
{$UNDEF EXTRA}
{$I DECLS.INC}
{$INCLUDE LOOP.INC}
{$I MISSING.INC}
{$IFDEF NEVER}
  {$IFDEF FUZZ} never {$ELSE} never {$ENDIF}
{$ENDIF}
implementation
end.
