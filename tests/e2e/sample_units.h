// Pascal units for the whole-program tests, small enough to read at a glance.
#pragma once

namespace testing_support {

// A class with a method in each visibility section, a forced-visible class
// with a forced-visible private method, and routines behind conditional
// directives:
// - DebugOnly is read when DEBUG is defined;
// - StillDebug is read only if DEBUG is still defined after {$UNDEF DEBUG},
//   which happens when the define list holds DEBUG twice;
// - ReleaseOnly is read when RELEASE is defined.
// The unit forces itself visible, so a scope above every declaration scope
// still leaves a unit for the forced items to be documented in.
inline constexpr const char* kUnitOne = R"({! #V ! The first unit. }
unit One;

interface

type
  { A thing with work at every visibility. }
  TThing = class(TObject)
  private
    procedure PrivateWork;
  protected
    procedure ProtectedWork;
  public
    procedure PublicWork;
  published
    procedure PublishedWork;
  end;

  {! #V ! Documented whatever the scope. }
  TForced = class(TObject)
  private
    {! #V ! Documented whatever the scope. }
    procedure ForcedWork;
    procedure HiddenWork;
  end;

{$IFDEF DEBUG}
procedure DebugOnly;
{$ENDIF}
{$UNDEF DEBUG}
{$IFDEF DEBUG}
procedure StillDebug;
{$ENDIF}
{$IFDEF RELEASE}
procedure ReleaseOnly;
{$ENDIF}

implementation

end.
)";

// A second unit with a variable, a constant and a type from an include file
// whose name the directive gives in lower case.
inline constexpr const char* kUnitTwo = R"(unit Two;

interface

const
  Limit = 10;

var
  Counter: Integer;

type
  {$I extra.inc}

implementation

end.
)";

inline constexpr const char* kIncludeExtra = "TExtra = Integer;\n";

}  // namespace testing_support
