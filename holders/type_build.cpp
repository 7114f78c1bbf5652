// THType: the declaration text, the type topic, the banner and the member
// lists of a class.
#include <unordered_set>

#include "holders/dialect.h"
#include "holders/method.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/project.h"
#include "holders/property.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "platform/text.h"

namespace holders {
namespace txt = lang::bldlang;

std::string THType::DeclarationText() {
  const Options& opt = options();
  const std::string name = esc(TypeName);
  const auto inheritance = [&](std::string_view text) {
    return BuildRtfText(text, opt.LinkSearchInClassInheritence,
                        opt.CasesensitiveInClassInheritence);
  };
  const auto parameters = [&] {
    return Parameters.empty() ? std::string() : "(" + LinkParameterTypes(Parameters) + ")";
  };
  switch (TypeKind) {
    case kClassType:
      return "type " + name + " = " + ClassWord +
             (AncestorName.empty() ? "" : "(" + inheritance(AncestorName) + ")") + ";";
    case kRecordType: {
      std::string text = dialect().recordHead(name);
      for (const NameEntry& entry : Properties.entries()) {
        const auto* field = static_cast<THProperty*>(entry.item);
        text += dialect().recordField(
            esc(field->PropertyName),
            BuildRtfText(field->PropertyType, opt.LinkSearchInRecords, opt.CasesensitiveInRecords));
      }
      return text + std::string(dialect().recordEnd());
    }
    case kProcedureType:
      return "type " + name + " = procedure" + parameters() + ";";
    case kFunctionType:
      return "type " + name + " = function" + parameters() +
             (ResultType.empty() ? ""
                                 : ": " + BuildRtfText(ResultType, opt.LinkSearchInReturnType,
                                                       opt.CasesensitiveInReturnType)) +
             ";";
    case kClassReference:
      return "type " + name + " = class of " + inheritance(AncestorName) + ";";
    default:
      return "type " + name + " = " + inheritance(AliasText) + ";";
  }
}

void THType::BuildTopic(PageSink& output) {
  const Options& opt = options();
  message(2, lang::BaseLang::kMsgBuildingTypeTopic, TypeName);
  if (TypeKind == kClassType) Properties.sortByName();
  std::string declaration = DeclarationText();
  PooledPage typePage = page("TypePage");
  typePage.ReplaceTag("##TypeBitmap##",
                      Bitmap.empty() ? std::string() : dialect().bitmapReference(Bitmap), true);
  typePage.ReplaceTag("##TXTUnit##", escapedText(txt::TXT_Unit), true);
  typePage.ReplaceTag("##TXTDeclaration##", escapedText(txt::TXT_Declaration), true);
  typePage.ReplaceTag("##TXTDescription##", escapedText(txt::TXT_Description), true);
  typePage.ReplaceTag("##TXTTypes##", escapedText(txt::CNT_Types), true);
  typePage.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
  typePage.ReplaceTag("##TypeName##", escaped(TypeName), true);
  typePage.ReplaceTag("##TypeDeclaration##", std::move(declaration), true);
  typePage.ReplaceTag(
      "##TypeDescription##",
      BuildRtfText(Comment, opt.LinkSearchInTypeComment, opt.CasesensitiveInTypeComment), true);
  typePage.ReplaceTag("##TypeBanner##", buildBanner(output), true);
  output.writeFilledPage(topicOf(output, TopicKind::Type, *this), typePage);
  if (TypeKind != kClassType) return;  // members of other kinds get no topics

  if (CountProperties(opt.ShowInheritedProperties) > 0) BuildPropertiesList(output);
  if (CountMethods(opt.ShowInheritedMethods) > 0) BuildMethodsList(output);
  if (CountEvents(opt.ShowInheritedEvents) > 0) BuildEventsList(output);
  for (const NameEntry& entry : Properties.entries()) {
    if (entry.item->IsDocumented()) entry.item->BuildTopic(output);
  }
  for (const NameEntry& entry : Methods.entries()) {
    if (entry.item->IsDocumented()) entry.item->BuildTopic(output);
  }
}

std::string THType::bannerLink(MemberGroup group, bool withInherited) {
  // Only a class gets member-list topics; a link to a list that is never
  // written would lead nowhere.
  if (TypeKind != kClassType || countMembers(group, withInherited) == 0) return {};
  const bool methods = group == MemberGroup::Methods;
  const bool events = group == MemberGroup::Events;
  PooledPage pop = page("BannerPop");
  pop.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
  pop.ReplaceTag("##TypeName##", escaped(TypeName), true);
  pop.ReplaceTag("##JumpArea##", methods ? "Methods" : events ? "Events" : "Properties", true);
  pop.ReplaceTag("##JumpName##",
                 esc(LanguageText(methods  ? txt::TYPE_Methods
                                  : events ? txt::TYPE_Events
                                           : txt::TYPE_Properties)),
                 true);
  return pop.Text() + std::string(dialect().tab());
}

std::string THType::buildBanner(PageSink& output) {
  const Options& opt = options();
  PooledPage banner = page("TypeBanner");
  banner.ReplaceTag("##TypeProperties##",
                    bannerLink(MemberGroup::Properties, opt.ShowInheritedProperties), true);
  banner.ReplaceTag("##TypeMethods##", bannerLink(MemberGroup::Methods, opt.ShowInheritedMethods),
                    true);
  banner.ReplaceTag("##TypeEvents##", bannerLink(MemberGroup::Events, opt.ShowInheritedEvents),
                    true);
  if (Sample.empty()) {
    banner.ReplaceTag("##TypeSample##", "", true);
    return banner.Text();
  }
  const EscapedText sampleWord = escapedText(txt::SMP_Sample);
  PooledPage link = page("BannerSample");
  link.ReplaceTag("##JumpName##", sampleWord, true);
  link.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
  link.ReplaceTag("##JumpArea##", escaped(TypeName), true);
  banner.ReplaceTag("##TypeSample##", link.Text(), true);
  PooledPage samplePage = page("SamplePage");
  samplePage.ReplaceTag("##SampleWord##", sampleWord, true);
  samplePage.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
  samplePage.ReplaceTag("##JumpArea##", escaped(TypeName), true);
  samplePage.ReplaceTag("##JumpName##", escaped(TypeName), true);
  samplePage.ReplaceTag("##SampleText##", BuildSampleText(Sample), true);
  output.writeFilledPage(topicOf(output, TopicKind::Sample, *this), samplePage);
  return banner.Text();
}

void THType::BuildPropertiesList(PageSink& output) {
  buildMemberList(output, MemberGroup::Properties);
}

void THType::BuildMethodsList(PageSink& output) {
  buildMemberList(output, MemberGroup::Methods);
}

void THType::BuildEventsList(PageSink& output) {
  buildMemberList(output, MemberGroup::Events);
}

namespace {

struct ListKind {
  int messageIndex;
  std::string_view page;
  std::string_view headingTag;
  int headingText;
  std::string_view listTag;
  TopicKind topic;
};

}  // namespace

void THType::buildMemberList(PageSink& output, MemberGroup group) {
  const Options& opt = options();
  static const ListKind kProperties{lang::BaseLang::kMsgBuildingPropertiesList,
                                    "PropertiesList",
                                    "##TYPEProperties##",
                                    txt::TYPE_Properties,
                                    "##Properties##",
                                    TopicKind::PropertiesList};
  static const ListKind kMethods{lang::BaseLang::kMsgBuildingMethodsList,
                                 "MethodsList",
                                 "##TYPEMethods##",
                                 txt::TYPE_Methods,
                                 "##Methods##",
                                 TopicKind::MethodsList};
  static const ListKind kEvents{lang::BaseLang::kMsgBuildingEventsList,
                                "EventsList",
                                "##TYPEEvents##",
                                txt::TYPE_Events,
                                "##Events##",
                                TopicKind::EventsList};
  const ListKind& kind = group == MemberGroup::Methods  ? kMethods
                         : group == MemberGroup::Events ? kEvents
                                                        : kProperties;
  const bool inherited = group == MemberGroup::Methods  ? opt.ShowInheritedMethods
                         : group == MemberGroup::Events ? opt.ShowInheritedEvents
                                                        : opt.ShowInheritedProperties;
  message(3, kind.messageIndex, TypeName);

  PooledPage list = page(kind.page);
  const std::string heading = esc(LanguageText(kind.headingText));
  if (group == MemberGroup::Methods) {
    list.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
    list.ReplaceTag("##TypeName##", escaped(TypeName), true);
    list.ReplaceTag(kind.headingTag, heading, true);
  } else {
    list.ReplaceTag(kind.headingTag, heading, true);
    list.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
    list.ReplaceTag("##TypeName##", escaped(TypeName), true);
  }

  std::string entries;
  std::unordered_set<std::string> seen;
  std::vector<THType*> chain{this};
  if (inherited) {
    const std::vector<THType*> ancestors = Ancestors();
    chain.insert(chain.end(), ancestors.begin(), ancestors.end());
  }
  for (THType* type : chain) type->appendListEntries(group, *this, seen, entries);
  list.ReplaceTag(kind.listTag, std::move(entries), true);
  output.writeFilledPage(topicOf(output, kind.topic, *this), list);
}

THType::ListEntries THType::listEntries(MemberGroup group, bool remote) {
  const bool methods = group == MemberGroup::Methods;
  const bool events = group == MemberGroup::Events;
  const EscapedText unit = escaped(OwnerUnitName());
  const EscapedText type = escaped(TypeName);
  ListEntries list;
  list.namesChecked = !methods;
  const auto& entries = methods ? Methods.entries() : Properties.entries();
  for (const NameEntry& entry : entries) {
    std::string_view name;
    if (methods) {
      name = static_cast<THMethod*>(entry.item)->MethodName;
    } else {
      const auto* member = static_cast<THProperty*>(entry.item);
      if (member->IsEvent != events) continue;
      name = member->PropertyName;
    }
    if (!entry.item->IsDocumented()) continue;
    PooledPage item = page("TypeListItem");
    item.ReplaceTag("##ItemName##", escaped(name), true);
    item.ReplaceTag("##ItemArea##", methods ? "Method" : "Property", true);
    item.ReplaceTag("##UnitName##", unit, true);
    item.ReplaceTag("##TypeName##", type, true);
    std::string lines;
    item.AppendText(lines);
    list.entries.emplace_back(methods ? std::string() : platform::upperCase(name),
                              std::move(lines));
  }
  if (list.entries.empty()) return list;
  PooledPage heading = page(remote ? "InheritRemote" : "InheritLocal");
  heading.ReplaceTag("##TXTIn##", escapedText(txt::TXT_In), true);
  heading.ReplaceTag("##TXTDerived##", escapedText(txt::TXT_Derived), true);
  heading.ReplaceTag("##UnitName##", unit, true);
  heading.ReplaceTag("##TypeName##", type, true);
  heading.AppendText(list.heading);
  return list;
}

namespace {

// The entries of the ancestors this thread listed last, by type, group and
// build. A class high in a deep tree is listed again in the lists of all
// its descendants.
struct KeptEntries {
  const THType* type = nullptr;
  int group = 0;
  std::uint64_t build = 0;
  THType::ListEntries list;
};
constexpr size_t kAncestorsKept = 32;
thread_local std::vector<KeptEntries> keptAncestors;
thread_local size_t nextKeptSlot = 0;

// Appends the heading and the entries not listed already: a property
// redeclared in a descendant is listed once, under the most derived class;
// methods are listed in every class that declares them.
void appendEntries(const THType::ListEntries& list, std::unordered_set<std::string>& seen,
                   std::string& text) {
  bool headed = false;
  for (const auto& [upperName, lines] : list.entries) {
    if (list.namesChecked && !seen.insert(upperName).second) continue;
    if (!headed) {
      text += list.heading;
      headed = true;
    }
    text += lines;
  }
}

}  // namespace

void THType::appendListEntries(MemberGroup group, const THType& built,
                               std::unordered_set<std::string>& seen, std::string& text) {
  if (this == &built) {
    appendEntries(listEntries(group, false), seen, text);
    return;
  }
  const std::uint64_t build = Project()->BuildNumber();
  for (const KeptEntries& kept : keptAncestors) {
    if (kept.type == this && kept.group == static_cast<int>(group) && kept.build == build) {
      appendEntries(kept.list, seen, text);
      return;
    }
  }
  KeptEntries* slot = keptAncestors.size() < kAncestorsKept
                          ? &keptAncestors.emplace_back()
                          : &keptAncestors[nextKeptSlot++ % kAncestorsKept];
  *slot = KeptEntries{this, static_cast<int>(group), build, listEntries(group, true)};
  appendEntries(slot->list, seen, text);
}

}  // namespace holders
