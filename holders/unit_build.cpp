// THUnit: its name lists, lookups and the unit page.
#include <array>
#include <optional>
#include <utility>

#include "holders/method.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/project.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "holders/variable.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "platform/text.h"

namespace holders {

// --- the name lists

template <typename Holder>
Holder& THUnit::addListed(SortedNameList& list, std::string_view name, std::string_view comment,
                          std::string Holder::*nameField) {
  Holder& item = adopt(std::make_unique<Holder>(this));
  list.add(name, &item);
  if (Project() != nullptr) Project()->ModelChanged();
  item.*nameField = platform::trim(name);
  item.SetComment(comment);
  return item;
}

THConstant& THUnit::AddConstant(std::string_view name, std::string_view comment) {
  return addListed(Constants, name, comment, &THConstant::ConstantName);
}

THMethod& THUnit::AddRoutine(std::string_view name, std::string_view comment) {
  return addListed(Routines, name, comment, &THMethod::MethodName);
}

THType& THUnit::AddType(std::string_view name, std::string_view comment) {
  return addListed(Types, name, comment, &THType::TypeName);
}

THVariable& THUnit::AddVariable(std::string_view name, std::string_view comment) {
  return addListed(Variables, name, comment, &THVariable::VariableName);
}

THMethod* THUnit::FindRoutine(std::string_view name, bool caseSensitive) const {
  return static_cast<THMethod*>(FindInList(name, caseSensitive, Routines));
}

THType* THUnit::FindType(std::string_view name, bool caseSensitive) const {
  return static_cast<THType*>(FindInList(name, caseSensitive, Types));
}

THType* THUnit::LookupType(std::string_view name, bool caseSensitive) const {
  return FindType(name, caseSensitive);
}

THConstant& THUnit::ConstantAt(int index) const {
  return *static_cast<THConstant*>(Constants.at(index).item);
}

THMethod& THUnit::RoutineAt(int index) const {
  return *static_cast<THMethod*>(Routines.at(index).item);
}

THType& THUnit::TypeAt(int index) const {
  return *static_cast<THType*>(Types.at(index).item);
}

THVariable& THUnit::VariableAt(int index) const {
  return *static_cast<THVariable*>(Variables.at(index).item);
}

THItem* THUnit::FindItem(std::string_view name, bool caseSensitive) {
  // Only the unit's own declarations: the project reaches every unit's
  // declarations through this.
  for (const SortedNameList* list : {&Routines, &Types, &Variables, &Constants}) {
    if (THItem* item = FindInList(name, caseSensitive, *list)) return item;
  }
  return nullptr;
}

bool THUnit::IsDocumented() {
  if (!THItem::IsDocumented()) return false;
  return !(options().CommentsRequiredInUnits && Comment.empty());
}

// --- the build

std::string THUnit::JumpName() const {
  return joinName({"Unit_", UnitName});
}

std::string THUnit::BuildJump(std::string_view text) {
  return jumpPage(text, escaped(JumpName()));
}

namespace {

// The unit page's four lists: where their entries come from, the page of an
// entry's jump, and the tags they fill.
struct ListPages {
  const SortedNameList THUnit::*list;
  std::string_view jumpPage;
  std::string_view nameTag;
  std::string_view listTag;
};
constexpr ListPages kLists[THUnit::kJumpLists] = {
    {&THUnit::Types, "TypeJump", "##TypeName##", "##TypeList##"},
    {&THUnit::Constants, "ConstJump", "##ConstantName##", "##ConstantList##"},
    {&THUnit::Variables, "VarJump", "##VariableName##", "##VariableList##"},
    {&THUnit::Routines, "MethodJump", "##MethodName##", "##MethodList##"},
};

}  // namespace

void THUnit::SortLists() const {
  for (const SortedNameList* list : {&Constants, &Routines, &Types, &Variables}) list->entries();
  forEachItem(Types.entries(), [](THItem* type) { static_cast<THType*>(type)->Methods.entries(); });
}

void THUnit::BuildTopic(PageSink& output) {
  StartMarks(buildUnderWay());
  templates::TDocumentTemplate unitPage = BeginTopic();
  for (THItem* declaration : DocumentedDeclarations()) declaration->BuildTopic(output);
  FinishTopic(unitPage, JumpLists(), output);
}

templates::TDocumentTemplate THUnit::BeginTopic() {
  namespace txt = lang::bldlang;
  const Options& opt = options();
  message(1, lang::BaseLang::kMsgBuildingUnit, UnitName);
  PooledPage unitPage = page("UnitPage");
  unitPage.ReplaceTag("##TXTUnit##", escapedText(txt::TXT_Unit), true);
  unitPage.ReplaceTag("##TXTUnits##", escapedText(txt::TXT_Units), true);
  unitPage.ReplaceTag("##TXTTypes##", escapedText(txt::CNT_Types), true);
  unitPage.ReplaceTag("##TXTConstants##", escapedText(txt::CNT_Constants), true);
  unitPage.ReplaceTag("##TXTVariables##", escapedText(txt::CNT_Variables), true);
  unitPage.ReplaceTag("##TXTMethods##", escapedText(txt::CNT_Methods), true);
  unitPage.ReplaceTag(
      "##UnitDescription##",
      BuildRtfText(Comment, opt.LinkSearchInUnitComment, opt.CasesensitiveInUnitComment), true);
  unitPage.ReplaceTag("##UnitName##", escaped(UnitName), true);
  return std::move(unitPage.get());
}

std::vector<THItem*> THUnit::DocumentedDeclarations() const {
  return DocumentedDeclarations(0, DeclarationCount());
}

size_t THUnit::DeclarationCount() const {
  size_t count = 0;
  for (const ListPages& pages : kLists) count += static_cast<size_t>((this->*pages.list).count());
  return count;
}

std::vector<THItem*> THUnit::DocumentedDeclarations(size_t from, size_t to) const {
  const bool marking = marksBuild_ != 0 && marksBuild_ == buildUnderWay() && to <= marks_.size();
  std::vector<THItem*> declarations;
  size_t newlyMarked = 0;
  size_t listStart = 0;  // of the list at hand, among all the declarations
  for (const ListPages& pages : kLists) {
    const std::vector<NameEntry>& entries = (this->*pages.list).entries();
    const size_t listEnd = listStart + entries.size();
    const size_t begin = std::max(from, listStart);
    const size_t end = std::min(to, listEnd);
    size_t at = begin;  // among all the declarations
    const auto ask = [&](THItem* item) {
      const bool documented = item->IsDocumented();
      if (documented) declarations.push_back(item);
      if (marking) {
        newlyMarked += marks_[at] == kMarkUnasked ? 1 : 0;
        marks_[at] = documented ? kMarkDocumented : kMarkNotDocumented;
      }
      ++at;
    };
    if (begin < end) forEachItem(std::span(entries).subspan(begin - listStart, end - begin), ask);
    listStart = listEnd;
  }
  // Released so that whoever sees the count reach 0 sees every mark.
  if (newlyMarked != 0) unmarked_.fetch_sub(newlyMarked, std::memory_order_release);
  return declarations;
}

void THUnit::StartMarks(std::uint64_t build) {
  marks_.assign(DeclarationCount(), kMarkUnasked);
  unmarked_.store(marks_.size(), std::memory_order_relaxed);
  marksBuild_ = build;
}

std::uint64_t THUnit::buildUnderWay() const {
  const THProject* project = Project();
  return project != nullptr && project->Building() ? project->BuildNumber() : 0;
}

bool THUnit::marksComplete(std::uint64_t build) const {
  return build != 0 && marksBuild_ == build && marks_.size() == DeclarationCount() &&
         unmarked_.load(std::memory_order_acquire) == 0;
}

std::span<const std::uint8_t> THUnit::DocumentedMarks(const SortedNameList& list,
                                                      std::uint64_t build) const {
  if (!marksComplete(build)) return {};
  size_t listStart = 0;
  for (const ListPages& pages : kLists) {
    const SortedNameList& candidate = this->*pages.list;
    const auto count = static_cast<size_t>(candidate.count());
    if (&candidate == &list) return std::span<const std::uint8_t>(marks_).subspan(listStart, count);
    listStart += count;
  }
  return {};
}

std::array<std::string, THUnit::kJumpLists> THUnit::JumpLists() {
  std::array<std::string, kJumpLists> lists;
  for (size_t i = 0; i < kJumpLists; ++i) {
    const ListPages& pages = kLists[i];
    // Every entry's jump is the page with the unit's name filled in, then
    // the entry's name: the places of the name tag are found once.
    std::optional<PooledPage> unitJump;
    templates::TDocumentTemplate::TagPlaces namePlaces;
    const std::vector<NameEntry>& entries = (this->*pages.list).entries();
    const std::span<const std::uint8_t> marks = DocumentedMarks(this->*pages.list, buildUnderWay());
    for (size_t at = 0; at < entries.size(); ++at) {
      const NameEntry& entry = entries[at];
      if (!EntryDocumented(marks, entry, at)) continue;
      if (!unitJump) {
        unitJump.emplace(page(pages.jumpPage));
        unitJump->ReplaceTag("##UnitName##", escaped(UnitName), true);
        namePlaces = unitJump->get().FindTagPlaces(pages.nameTag, true);
      }
      unitJump->get().AppendFilled(namePlaces, escaped(platform::trimmedView(entry.name)),
                                   lists[i]);
    }
  }
  return lists;
}

void THUnit::FinishTopic(templates::TDocumentTemplate& unitPage,
                         std::array<std::string, kJumpLists>&& jumpLists, PageSink& output) const {
  for (size_t i = 0; i < kJumpLists; ++i) {
    unitPage.ReplaceTag(kLists[i].listTag, std::move(jumpLists[i]), true);
  }
  output.writeFilledPage(topicOf(output, TopicKind::Unit, *this), unitPage);
}

}  // namespace holders
