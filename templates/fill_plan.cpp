#include "templates/fill_plan.h"

#include <bitset>

#include "templates/tag_signature.h"

namespace templates {
namespace {

// Steps a page keeps: a few runs of a dozen tags each in a real build. A page
// filled in ever new orders is filled tag by tag past this many.
constexpr size_t kMostSteps = 4096;

constexpr char kMark = '#';

// The bytes of a line's text pieces read from one piece outwards, the values
// between them left out as if empty (the plan holds for every value).
class TextWalk {
 public:
  TextWalk(const std::vector<FillPiece>& pieces, std::string_view line, size_t piece, bool leftward)
      : pieces_(pieces), line_(line), piece_(piece), leftward_(leftward) {}

  // The next byte, or kEnd when the line ends.
  static constexpr int kEnd = -1;
  int next() {
    while (offset_ == remaining()) {
      if (!step()) return kEnd;
    }
    const FillPiece& piece = pieces_[piece_];
    const size_t at = leftward_ ? piece.from + piece.size - 1 - offset_ : piece.from + offset_;
    ++offset_;
    return static_cast<unsigned char>(line_[at]);
  }

 private:
  size_t remaining() const {
    const FillPiece& piece = pieces_[piece_];
    return started_ && !piece.value ? piece.size : offset_;
  }
  bool step() {
    if (leftward_ ? piece_ == 0 : piece_ + 1 >= pieces_.size()) return false;
    piece_ = leftward_ ? piece_ - 1 : piece_ + 1;
    started_ = true;
    offset_ = 0;
    return true;
  }

  const std::vector<FillPiece>& pieces_;
  std::string_view line_;
  size_t piece_;
  bool leftward_;
  bool started_ = false;  // false while on the value the walk started from
  size_t offset_ = 0;
};

// The bytes of a tag's name: an occurrence that takes in a value holds the
// bytes between its marks and the value as part of its name.
using NameBytes = std::bitset<256>;

NameBytes nameBytes(std::string_view tag) {
  NameBytes bytes;
  for (size_t i = 2; i + 2 < tag.size(); ++i) bytes.set(static_cast<unsigned char>(tag[i]));
  return bytes;
}

// How the bytes on one side of a value, read outwards, could be part of an
// occurrence of a tag: a '#' at once (half of a mark that an empty value
// splits), or a "##" with only bytes of the tag's name before the value.
struct Side {
  bool markAtOnce = false;
  bool opensName = false;
};

Side sideOf(TextWalk walk, const NameBytes& name) {
  Side side;
  int c = walk.next();
  side.markAtOnce = c == kMark;
  bool inName = true;
  for (; c != TextWalk::kEnd && c != kMark; c = walk.next()) {
    if (!name.test(static_cast<size_t>(c))) inName = false;
  }
  side.opensName = inName && c == kMark && walk.next() == kMark;
  return side;
}

}  // namespace

FillPlans::FillPlans(const std::vector<std::string>& lines) : lines_(lines) {
  FillStep& first = *steps_.emplace_back(std::make_unique<FillStep>());
  first_ = &first;
  first.lines_.resize(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].empty()) {
      first.lines_[i].push_back({0, static_cast<std::uint32_t>(lines[i].size()), false});
    }
  }
}

const FillStep* FillPlans::known(const FillStep& from, std::string_view tag) {
  for (const FillStep* step = from.firstNext_.load(std::memory_order_acquire); step != nullptr;
       step = step->sibling_) {
    if (step->tag_ == tag) return step;
  }
  return nullptr;
}

const FillStep* FillPlans::next(const FillStep& from, std::string_view tag) {
  if (const FillStep* step = known(from, tag)) return step;
  auto made = std::make_unique<FillStep>();
  makeNext(from, tag, *made);
  const std::lock_guard lock(mutex_);
  // Another thread may have added the same step meanwhile.
  if (const FillStep* step = known(from, tag)) return step;
  if (steps_.size() >= kMostSteps) return nullptr;
  FillStep& added = *steps_.emplace_back(std::move(made));
  added.sibling_ = from.firstNext_.load(std::memory_order_relaxed);
  // Published complete: a reader that sees the step sees all of it.
  from.firstNext_.store(&added, std::memory_order_release);
  return &added;
}

bool FillPlans::mayTakeInAValue(const std::vector<FillPiece>& pieces, size_t line,
                                std::string_view tag) const {
  const NameBytes name = nameBytes(tag);
  for (size_t p = 0; p < pieces.size(); ++p) {
    if (!pieces[p].value) continue;
    const Side left = sideOf(TextWalk(pieces, lines_[line], p, true), name);
    const Side right = sideOf(TextWalk(pieces, lines_[line], p, false), name);
    if ((left.opensName && right.opensName) || (left.markAtOnce && right.markAtOnce)) {
      return true;
    }
  }
  return false;
}

void FillPlans::makeNext(const FillStep& from, std::string_view tag, FillStep& step) const {
  step.tag_ = tag;
  step.depth_ = from.depth_ + 1;
  // Only tags of the ##Name## form are planned, after steps that were.
  step.planned_ = from.planned_ && tagBit(tag) != 0;
  for (size_t i = 0; step.planned_ && i < from.lines_.size(); ++i) {
    if (mayTakeInAValue(from.lines_[i], i, tag)) step.planned_ = false;
  }
  if (!step.planned_) return;
  step.lines_.resize(from.lines_.size());
  for (size_t i = 0; i < from.lines_.size(); ++i) {
    const std::string_view line = lines_[i];
    std::vector<FillPiece>& out = step.lines_[i];
    for (const FillPiece& piece : from.lines_[i]) {
      if (piece.value) {
        out.push_back(piece);
        continue;
      }
      // Occurrences from left to right, each after the end of the one before.
      const std::string_view text = line.substr(piece.from, piece.size);
      std::uint32_t start = piece.from;
      const std::uint32_t end = piece.from + piece.size;
      for (size_t found = findTag(text, tag, 0); found != std::string_view::npos;
           found = findTag(text, tag, found + tag.size())) {
        const auto at = static_cast<std::uint32_t>(piece.from + found);
        if (at > start) out.push_back({start, at - start, false});
        out.push_back({from.depth_, 0, true});
        ++step.count_;
        start = at + static_cast<std::uint32_t>(tag.size());
      }
      if (end > start) out.push_back({start, end - start, false});
    }
  }
}

namespace {

template <class Values>
size_t piecesSize(const std::vector<FillPiece>& pieces, const Values& values) {
  size_t size = 0;
  for (const FillPiece& piece : pieces)
    size += piece.value ? values[piece.from].size() : piece.size;
  return size;
}

template <class Values>
void appendPieces(const std::vector<FillPiece>& pieces, std::string_view line, const Values& values,
                  std::string& out) {
  for (const FillPiece& piece : pieces) {
    if (piece.value) {
      out.append(values[piece.from]);
    } else {
      out.append(line.substr(piece.from, piece.size));
    }
  }
}

template <class Values>
void appendLines(const std::vector<std::vector<FillPiece>>& pieces,
                 const std::vector<std::string>& lines, const Values& values, std::string& out) {
  size_t size = out.size();
  for (const std::vector<FillPiece>& line : pieces) size += piecesSize(line, values) + 2;
  out.reserve(size);
  for (size_t i = 0; i < pieces.size(); ++i) {
    appendPieces(pieces[i], lines[i], values, out);
    out.append("\r\n");
  }
}

}  // namespace

void FillPlans::buildLine(const FillStep& step, size_t index,
                          const std::vector<std::string>& values, std::string& out) const {
  const std::vector<FillPiece>& pieces = step.lines_[index];
  // Sized first, so that the line is not grown (and copied) piece by piece.
  out.clear();
  out.reserve(piecesSize(pieces, values));
  appendPieces(pieces, lines_[index], values, out);
}

void FillPlans::appendText(const FillStep& step, const std::vector<std::string>& values,
                           std::string& out) const {
  appendLines(step.lines_, lines_, values, out);
}

void FillPlans::appendText(const FillStep& step, std::span<const std::string_view> values,
                           std::string& out) const {
  appendLines(step.lines_, lines_, values, out);
}

}  // namespace templates
