// The shipped page set, filled the way the help build fills it, must give a
// project that the help checker accepts, with no placeholder left over.
#include <gtest/gtest.h>

#include <utility>

#include "platform/files.h"
#include "templates/document_template.h"
#include "tests/support/test_support.h"
#include "tools/helpcheck.h"

namespace tools {
namespace {

using Tags = std::vector<std::pair<std::string, std::string>>;

const char* const kCatalogue[] = {"Header",        "Contents",       "UnitJump",
                                  "UnitPage",      "TypeJump",       "ConstJump",
                                  "VarJump",       "MethodJump",     "InternalJump",
                                  "TypePage",      "TypeBanner",     "BannerPop",
                                  "BannerSample",  "SamplePage",     "EventsList",
                                  "MethodsList",   "PropertiesList", "InheritLocal",
                                  "InheritRemote", "TypeListItem",   "MethodPage",
                                  "UnitInsert",    "MethodInType",   "PropertyPage",
                                  "VarPage",       "ConstPage",      "HPJ"};

class ShippedPages : public ::testing::Test {
 protected:
  // The page's text after the substitutions, made in the given order.
  std::string page(const std::string& name, const Tags& tags) {
    templates::TDocumentTemplate page(cache_);
    page.LoadFromFile(dir_ + name + ".TPF");
    EXPECT_FALSE(page.Document().empty()) << name;
    for (const auto& [tag, value] : tags) page.ReplaceTag(tag, value, true);
    return page.Text();
  }
  std::string jump(const std::string& text, const std::string& id) {
    return page("InternalJump", {{"##InternalName##", text}, {"##InternalJump##", id}});
  }
  std::string sampleLink(const std::string& area) {
    return page("BannerSample",
                {{"##JumpName##", "Sample"}, {"##UnitName##", "Shapes"}, {"##JumpArea##", area}});
  }
  std::string samplePage(const std::string& area, const std::string& name) {
    return page("SamplePage", {{"##SampleWord##", "Sample"},
                               {"##UnitName##", "Shapes"},
                               {"##JumpArea##", area},
                               {"##JumpName##", name},
                               {"##SampleText##", "x := 1;\\line "}});
  }
  std::string memberList(const std::string& type, const std::vector<std::string>& items,
                         const std::string& area, const std::string& heading) {
    std::string lines = page(heading, {{"##TXTIn##", "In"},
                                       {"##TXTDerived##", "Derived from"},
                                       {"##UnitName##", "Shapes"},
                                       {"##TypeName##", type}});
    for (const std::string& item : items) {
      lines += page("TypeListItem", {{"##ItemName##", item},
                                     {"##ItemArea##", area},
                                     {"##UnitName##", "Shapes"},
                                     {"##TypeName##", type}});
    }
    return lines;
  }
  std::string bannerLink(const std::string& type, const std::string& area) {
    return page("BannerPop", {{"##UnitName##", "Shapes"},
                              {"##TypeName##", type},
                              {"##JumpArea##", area},
                              {"##JumpName##", area}}) +
           "\\tab ";
  }
  std::string typeTopic(const std::string& type, const std::string& declaration,
                        const std::string& banner);
  std::string classTopics();
  std::string memberTopics();
  std::string unitTopics();

  std::string dir_ = testing_support::sourceDir() + "/Template/";
  templates::TemplateCache cache_;
};

std::string ShippedPages::typeTopic(const std::string& type, const std::string& declaration,
                                    const std::string& banner) {
  return page("TypePage",
              {{"##TypeBitmap##", ""},
               {"##TXTUnit##", "Unit"},
               {"##TXTDeclaration##", "Declaration"},
               {"##TXTDescription##", "Description"},
               {"##TXTTypes##", "Types"},
               {"##UnitName##", "Shapes"},
               {"##TypeName##", type},
               {"##TypeDeclaration##", declaration},
               {"##TypeDescription##", "Drawn by " + jump("Draw", "Method_Shapes_Draw")},
               {"##TypeBanner##", banner}});
}

// TShape derives from TBase; both are classes of the unit Shapes.
std::string ShippedPages::classTopics() {
  const std::string banner =
      page("TypeBanner", {{"##TypeProperties##", bannerLink("TShape", "Properties")},
                          {"##TypeMethods##", bannerLink("TShape", "Methods")},
                          {"##TypeEvents##", bannerLink("TShape", "Events")},
                          {"##TypeSample##", sampleLink("TShape")}});
  std::string rtf = samplePage("TShape", "TShape");
  rtf += typeTopic("TShape", "type TShape = class(" + jump("TBase", "Type_Shapes_TBase") + ");",
                   banner);
  rtf += page("PropertiesList",
              {{"##TYPEProperties##", "Properties"},
               {"##UnitName##", "Shapes"},
               {"##TypeName##", "TShape"},
               {"##Properties##", memberList("TShape", {"Color"}, "Property", "InheritLocal") +
                                      memberList("TBase", {"Name"}, "Property", "InheritRemote")}});
  rtf += page("MethodsList",
              {{"##UnitName##", "Shapes"},
               {"##TypeName##", "TShape"},
               {"##TYPEMethods##", "Methods"},
               {"##Methods##", memberList("TShape", {"Paint"}, "Method", "InheritLocal") +
                                   memberList("TBase", {"Free"}, "Method", "InheritRemote")}});
  rtf += page("EventsList",
              {{"##TYPEEvents##", "Events"},
               {"##UnitName##", "Shapes"},
               {"##TypeName##", "TShape"},
               {"##Events##", memberList("TShape", {"OnPaint"}, "Property", "InheritLocal")}});
  return rtf + memberTopics();
}

std::string ShippedPages::memberTopics() {
  std::string rtf;
  for (const auto& [type, name, sample] : {std::tuple{"TShape", "Color", false},
                                           {"TShape", "OnPaint", true},
                                           {"TBase", "Name", false}}) {
    const std::string area = std::string(type) + "_" + name;
    if (sample) rtf += samplePage(area, std::string(type) + "." + name);
    rtf += page("PropertyPage", {{"##TXTDeclaration##", "Declaration"},
                                 {"##TXTScope##", "Scope"},
                                 {"##TXTDescription##", "Description"},
                                 {"##UnitName##", "Shapes"},
                                 {"##TypeName##", type},
                                 {"##PropertyName##", name},
                                 {"##PropertyDeclaration##", std::string(name) + ": Integer;"},
                                 {"##PropertyDescription##", "A member."},
                                 {"##PropertyScope##", "published"},
                                 {"##PropertyType##", "prop"},
                                 {"##PropertyAType##", "Property"},
                                 {"##SampleWord##", sample ? " \\tab " + sampleLink(area) : ""}});
  }
  for (const auto& [type, name, sample] :
       {std::tuple{"TShape", "Paint", true}, {"TBase", "Free", false}}) {
    const std::string area = std::string(type) + "_" + name;
    if (sample) rtf += samplePage(area, std::string(type) + "." + name);
    rtf += page("MethodPage", {{"##TXTScope##", "Scope"},
                               {"##TXTDeclaration##", "Declaration"},
                               {"##TXTDescription##", "Description"},
                               {"##UnitName##", "Shapes"},
                               {"##MethodName##", name},
                               {"##MethodDeclaration##", "procedure " + std::string(name) + ";"},
                               {"##MethodScope##", "public"},
                               {"##TypeName##", type},
                               {"##MethodArea##", type},
                               {"##MethodJumpName##", area},
                               {"##MethodFullName##", std::string(type) + "." + name},
                               {"##MethodDescription##", "Paints."},
                               {"##UnitInsert##", ""},
                               {"##TypeJump##", page("MethodInType", {{"##UnitName##", "Shapes"},
                                                                      {"##TypeName##", type}})},
                               {"##SampleWord##", sample ? sampleLink(area) : ""}});
  }
  return rtf;
}

// The unit's item topics, then its page: a routine, a variable and a
// constant besides the types.
std::string ShippedPages::unitTopics() {
  std::string rtf = classTopics();
  rtf += typeTopic("TBase", "type TBase = class;",
                   bannerLink("TBase", "Properties") + bannerLink("TBase", "Methods"));
  rtf += page("PropertiesList",
              {{"##TYPEProperties##", "Properties"},
               {"##UnitName##", "Shapes"},
               {"##TypeName##", "TBase"},
               {"##Properties##", memberList("TBase", {"Name"}, "Property", "InheritLocal")}});
  rtf += page("MethodsList",
              {{"##UnitName##", "Shapes"},
               {"##TypeName##", "TBase"},
               {"##TYPEMethods##", "Methods"},
               {"##Methods##", memberList("TBase", {"Free"}, "Method", "InheritLocal")}});
  rtf += typeTopic("TPoint",
                   "type TPoint = record \\par\r\n{\\plain\\fs16\\tab }X: Integer;\\par end;\\par ",
                   "");
  rtf += samplePage("Draw", "Draw");
  rtf += page("MethodPage", {{"##TXTScope##", "Scope"},
                             {"##TXTDeclaration##", "Declaration"},
                             {"##TXTDescription##", "Description"},
                             {"##UnitName##", "Shapes"},
                             {"##MethodName##", "Draw"},
                             {"##MethodDeclaration##",
                              "procedure Draw(S: " + jump("TShape", "Type_Shapes_TShape") + ");"},
                             {"##MethodScope##", "published"},
                             {"##MethodArea##", "Method"},
                             {"##MethodJumpName##", "Draw"},
                             {"##MethodFullName##", "Draw"},
                             {"##MethodDescription##", "Draws C:\\\\TEMP."},
                             {"##UnitInsert##", page("UnitInsert", {{"##TXTUnit##", "Unit"},
                                                                    {"##UnitName##", "Shapes"}})},
                             {"##TypeJump##", ""},
                             {"##SampleWord##", sampleLink("Draw")}});
  rtf += samplePage("Count", "Count");
  rtf += page("VarPage", {{"##UnitName##", "Shapes"},
                          {"##TXTVariables##", "Variables"},
                          {"##TXTUnit##", "Unit"},
                          {"##TXTUnits##", "Units"},
                          {"##TXTDeclaration##", "Declaration"},
                          {"##TXTDescription##", "Description"},
                          {"##VariableName##", "Count"},
                          {"##VariableType##", "Integer"},
                          {"##VariableDescription##", "How many."},
                          {"##SampleWord##", sampleLink("Count") + " \\par "}});
  rtf += page("ConstPage", {{"##TXTUnit##", "Unit"},
                            {"##TXTDeclaration##", "Declaration"},
                            {"##TXTDescription##", "Description"},
                            {"##TXTConstants##", "Constants"},
                            {"##UnitName##", "Shapes"},
                            {"##ConstantName##", "MaxShapes"},
                            {"##ConstantType##", ": Integer"},
                            {"##ConstantValue##", "10;"},
                            {"##ConstantDescription##", "The limit."}});
  auto list = [&](const char* jumpPage, const char* tag, std::initializer_list<const char*> names) {
    std::string lines;
    for (const char* name : names)
      lines += page(jumpPage, {{"##UnitName##", "Shapes"}, {tag, name}});
    return lines;
  };
  return rtf +
         page("UnitPage",
              {{"##TXTUnit##", "Unit"},
               {"##TXTUnits##", "Units"},
               {"##TXTTypes##", "Types"},
               {"##TXTConstants##", "Constants"},
               {"##TXTVariables##", "Variables"},
               {"##TXTMethods##", "Methods"},
               {"##UnitDescription##", "Shapes to draw."},
               {"##UnitName##", "Shapes"},
               {"##TypeList##", list("TypeJump", "##TypeName##", {"TBase", "TPoint", "TShape"})},
               {"##ConstantList##", list("ConstJump", "##ConstantName##", {"MaxShapes"})},
               {"##VariableList##", list("VarJump", "##VariableName##", {"Count"})},
               {"##MethodList##", list("MethodJump", "##MethodName##", {"Draw"})}});
}

TEST_F(ShippedPages, EveryPageOfTheCatalogueExistsWithCrLfLineEnds) {
  for (const char* name : kCatalogue) {
    SCOPED_TRACE(name);
    const std::string path = dir_ + name + ".TPF";
    ASSERT_TRUE(platform::fileExists(path));
    const std::string bytes = testing_support::readBytes(path);
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    std::string withoutCrLf;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes.compare(i, 2, "\r\n") == 0)
        ++i;
      else
        withoutCrLf += bytes[i];
    }
    EXPECT_EQ(std::string::npos, withoutCrLf.find_first_of("\r\n")) << "a bare CR or LF";
  }
}

TEST_F(ShippedPages, AFilledProjectPassesTheHelpCheck) {
  std::string rtf = page("Header", {});
  const std::string units = page("UnitJump", {{"##UnitName##", "Shapes"}});
  rtf +=
      page("Contents",
           {{"##TXTUnits##", "Units"}, {"##TXTContents##", "Contents"}, {"##UnitList##", units}});
  rtf += unitTopics() + "}\r\n";
  const std::string hpj = page("HPJ", {{"##WIN_AUX##", "Properties, Methods, and Events"},
                                       {"##FileName##", "SHAPES.RTF"},
                                       {"##HelpFileName##", "SHAPES.HLP"}});
  const std::string cnt =
      ":Base SHAPES.HLP>main\r\n:Title Help File Contents\r\n1 Overview=Contents\r\n1 Units\r\n"
      "2 Shapes=Unit_Shapes\r\n1 Types\r\n2 TBase=Type_Shapes_TBase\r\n2 "
      "TPoint=Type_Shapes_TPoint\r\n"
      "2 TShape=Type_Shapes_TShape\r\n1 Methods\r\n2 Draw=Method_Shapes_Draw\r\n1 Variables\r\n"
      "2 Count=Variable_Shapes_Count\r\n1 Constants\r\n2 MaxShapes=Constant_Shapes_MaxShapes\r\n";
  EXPECT_EQ(std::string::npos, rtf.find("##")) << rtf;
  EXPECT_EQ(std::string::npos, hpj.find("##")) << hpj;
  std::vector<std::string> findings;
  for (const Finding& finding :
       checkHelpProject({"SHAPES.RTF", "SHAPES.HPJ", "SHAPES.CNT", rtf, hpj, cnt})) {
    findings.push_back(formatFinding(finding));
  }
  EXPECT_EQ(std::vector<std::string>{}, findings) << rtf;
}

}  // namespace
}  // namespace tools
