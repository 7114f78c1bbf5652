// The built-in interface table: the English texts of Vantro's form followed
// by Korvex's console messages. Korvex reads its messages by position from
// the current language of its message center; the positions are fixed by the
// table order and survive language files, which are matched by ID.
//
// Positions 0-179: Vantro's form texts; 180-213: the console messages (line n
// of Vantro's EXEStrings, ID "frmVantro_EXEStrings_Strings_<n>", at position
// 180 + n); 214-220: further form texts; 221-224: the output format group;
// 225-228: the format switch's usage line and the HTML build's messages (line
// n of HTMLStrings at 225 + n); 229: the reader's messages added later (line n
// of ReaderStrings at 229 + n).
#pragma once

namespace lang {

class TCustomLanguageCenter;

namespace BaseLang {

// Usage text: lines kUsageFirst..kUsageLast, an empty line, then
// kUsageNewerVersions.
constexpr int kUsageFirst = 180;
constexpr int kUsageLast = 187;
constexpr int kUsageNewerVersions = 188;
constexpr int kMsgRecursiveIncludeSkipped = 189;
constexpr int kMsgCriticalError = 193;
constexpr int kMsgAddingUnit = 194;
constexpr int kMsgBuildToFile = 195;
constexpr int kMsgBuildingUnit = 196;
constexpr int kMsgBuildingTypeTopic = 197;
constexpr int kMsgBuildingEventsList = 198;
constexpr int kMsgBuildingMethodsList = 199;
constexpr int kMsgBuildingPropertiesList = 200;
constexpr int kMsgParsingType = 201;
constexpr int kMsgParsingComplexType = 202;
constexpr int kMsgBuildingPropertyTopic = 203;
constexpr int kMsgParsingProperty = 204;
constexpr int kMsgBuildingMethodTopic = 205;
constexpr int kMsgParsingMethod = 206;
constexpr int kMsgBuildingVariableTopic = 207;
constexpr int kMsgParsingVariable = 208;
constexpr int kMsgBuildingConstantTopic = 209;
constexpr int kMsgParsingConstant = 210;
constexpr int kMsgAddingIncludeFile = 211;
constexpr int kMsgUnableToLocateIncludeFile = 212;
constexpr int kMsgUnknownTag = 213;

// The usage line that --help adds after the usage text.
constexpr int kUsageFormatSwitch = 225;
constexpr int kMsgChmCompilerMissing = 226;
constexpr int kMsgChmCompilerReport = 227;
constexpr int kMsgChmCompileFailed = 228;
constexpr int kOutputFormatCaption = 221;
constexpr int kOutputFormatHint = 222;
constexpr int kOutputFormatItemRtf = 223;
constexpr int kOutputFormatItemHtml = 224;
constexpr int kMsgIncludeTooDeep = 229;

constexpr int kFormRowCount = 180;
constexpr int kConsoleFirst = 180;
constexpr int kConsoleLast = 213;
constexpr int kRowCount = 230;

// Clears the center, adds the language "ENG" / "English" (which becomes
// current) and the table's rows in order.
void LoadENG(TCustomLanguageCenter& center);

}  // namespace BaseLang
}  // namespace lang
