// The built-in help-text table: the English words Korvex writes into help
// pages and the contents file. Holders read these texts by position from the
// project's help language, so the positions below are fixed; language files
// loaded later are matched to them by ID.
#pragma once

namespace lang {

class TCustomLanguageCenter;

namespace bldlang {

// Positions of the rows (each named after its string ID).
enum : int {
  CNT_Title = 0,
  CNT_Contents = 1,
  CNT_Overview = 2,
  CNT_Units = 3,
  CNT_Types = 4,
  CNT_Methods = 5,
  CNT_Variables = 6,
  CNT_Constants = 7,
  TYPE_Properties = 8,
  TYPE_Methods = 9,
  TYPE_Events = 10,
  TYPE_Property = 11,
  TYPE_Method = 12,
  TYPE_Event = 13,
  TXT_Unit = 14,
  TXT_Declaration = 15,
  TXT_Description = 16,
  TXT_Units = 17,
  TXT_In = 18,
  TXT_Derived = 19,
  TXT_Scope = 20,
  SMP_Sample = 21,
};

constexpr int kRowCount = 22;

// Clears the center, adds the language "ENG" / "English" (which becomes
// current) and the table's rows in order.
void LoadENG(TCustomLanguageCenter& center);

}  // namespace bldlang
}  // namespace lang
