#include "lang/bldlang.h"

#include "lang/language_center.h"

namespace lang::bldlang {
namespace {

struct Row {
  const char* id;
  const char* text;
};

constexpr Row kRows[] = {
    {"CNT_Title", "Help File Contents"},
    {"CNT_Contents", "Contents"},
    {"CNT_Overview", "Overview"},
    {"CNT_Units", "Units"},
    {"CNT_Types", "Types"},
    {"CNT_Methods", "Methods"},
    {"CNT_Variables", "Variables"},
    {"CNT_Constants", "Constants"},
    {"TYPE_Properties", "Properties"},
    {"TYPE_Methods", "Methods"},
    {"TYPE_Events", "Events"},
    {"TYPE_Property", "Property"},
    {"TYPE_Method", "Method"},
    {"TYPE_Event", "Event"},
    {"TXT_Unit", "Unit"},
    {"TXT_Declaration", "Declaration"},
    {"TXT_Description", "Description"},
    {"TXT_Units", "Units"},
    {"TXT_In", "In"},
    {"TXT_Derived", "Derived from"},
    {"TXT_Scope", "Scope"},
    {"SMP_Sample", "Sample"},
};
static_assert(std::size(kRows) == kRowCount);

}  // namespace

void LoadENG(TCustomLanguageCenter& center) {
  center.ClearAll();
  center.AddLanguage("ENG", "English");
  for (const Row& row : kRows) center.AddString(row.id, "", row.text);
}

}  // namespace lang::bldlang
