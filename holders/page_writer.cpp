#include "holders/page_writer.h"

#include <algorithm>
#include <stdexcept>

namespace holders {

void PageSink::writeBufferedPage(const TopicRef& topic,
                                 const std::vector<std::string_view>& lines) {
  writePage(topic, std::vector<std::string>(lines.begin(), lines.end()));
}

void PageSink::writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page) {
  writePage(topic, page.Document());
}

void PageSink::writePageText(const TopicRef& /*topic*/, std::string_view /*text*/) {
  throw std::logic_error("this output takes pages line by line");
}

namespace {

// A kept page's text goes into the last block until that block is full.
constexpr size_t kTextBlockBytes = 256 * 1024;

// Appends the lines as the file has them, each followed by CR LF.
template <typename Lines>
void appendLines(std::string& text, const Lines& lines) {
  for (const auto& line : lines) text.append(line).append("\r\n");
}

}  // namespace

FilePageWriter::FilePageWriter(std::string_view path) : out_(path) {}

FilePageWriter::~FilePageWriter() {
  try {
    if (!pending_.empty()) out_.write(pending_);
  } catch (const platform::FileError&) {
    // Reported by finish when the file is finished; an unfinished one is
    // given up on anyway.
  }
}

void FilePageWriter::writeWhenFull() {
  if (pending_.size() < platform::TextFileWriter::kDirectWriteBytes) return;
  out_.write(pending_);
  pending_.clear();
}

void FilePageWriter::writePage(const TopicRef& /*topic*/, const std::vector<std::string>& lines) {
  appendLines(pending_, lines);
  writeWhenFull();
}

void FilePageWriter::writeFilledPage(const TopicRef& /*topic*/,
                                     const templates::TDocumentTemplate& page) {
  // Made as one text: a page filled by plan is then built from its pieces
  // without making its lines.
  page.AppendText(pending_);
  writeWhenFull();
}

void FilePageWriter::writePageText(const TopicRef& /*topic*/, std::string_view text) {
  if (text.size() < platform::TextFileWriter::kDirectWriteBytes) {
    pending_.append(text);
    writeWhenFull();
    return;
  }
  if (!pending_.empty()) out_.write(pending_);
  pending_.clear();
  out_.write(text);
}

void FilePageWriter::writeBufferedPage(const TopicRef& /*topic*/,
                                       const std::vector<std::string_view>& lines) {
  appendLines(pending_, lines);
  writeWhenFull();
}

void FilePageWriter::finish(std::string_view closingLine) {
  pending_.append(closingLine).append("\r\n");
  out_.write(pending_);
  pending_.clear();
  out_.close();
}

std::string& PageBuffer::textBlock(const TopicRef& topic) {
  if (blocks_.empty() || blocks_.back().size() >= kTextBlockBytes) {
    blocks_.push_back(std::move(spareBlock_));
    spareBlock_ = std::string();
    blocks_.back().reserve(kTextBlockBytes + kTextBlockBytes / 4);
    blockTopics_.push_back(topic);
  }
  return blocks_.back();
}

void PageBuffer::writePage(const TopicRef& topic, const std::vector<std::string>& lines) {
  if (keepsPageText_) {
    std::string& block = textBlock(topic);
    const size_t before = block.size();
    appendLines(block, lines);
    bytes_ += block.size() - before;
    return;
  }
  pages_.push_back(Page{topic, lines_.size(), lines.size()});
  for (const std::string& line : lines) keep(line);
}

void PageBuffer::writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page) {
  if (!keepsPageText_) {
    writePage(topic, page.Document());
    return;
  }
  std::string& block = textBlock(topic);
  const size_t before = block.size();
  page.AppendText(block);
  bytes_ += block.size() - before;
}

void PageBuffer::keep(std::string_view text) {
  constexpr size_t kBlockSize = 256 * 1024;
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < text.size()) {
    blocks_.emplace_back().reserve(std::max(kBlockSize, text.size()));
  }
  std::string& block = blocks_.back();
  const size_t start = block.size();
  block.append(text);
  lines_.push_back(std::string_view(block).substr(start));
  bytes_ += text.size() + sizeof(std::string_view);
}

void PageBuffer::clear() {
  if (keepsPageText_ && !blocks_.empty() && spareBlock_.capacity() == 0) {
    spareBlock_ = std::move(blocks_.front());
    spareBlock_.clear();
  }
  blocks_.clear();
  blockTopics_.clear();
  lines_.clear();
  pages_.clear();
  bytes_ = 0;
}

void PageBuffer::finish(std::string_view /*closingLine*/) {
  throw std::logic_error("a page buffer is replayed, not finished");
}

void PageBuffer::replayTo(PageSink& output) const {
  if (keepsPageText_) {
    for (size_t i = 0; i < blocks_.size(); ++i) output.writePageText(blockTopics_[i], blocks_[i]);
    return;
  }
  std::vector<std::string_view> lines;
  for (const Page& page : pages_) {
    const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(page.firstLine);
    lines.assign(first, first + static_cast<std::ptrdiff_t>(page.lineCount));
    output.writeBufferedPage(page.topic, lines);
  }
}

void MemoryPageSink::writePage(const TopicRef& topic, const std::vector<std::string>& lines) {
  pages_.push_back(Page{topic, lines});
}

void MemoryPageSink::finish(std::string_view closingLine) {
  closing_.emplace_back(closingLine);
}

std::string MemoryPageSink::text() const {
  std::string out;
  for (const Page& page : pages_) appendLines(out, page.lines);
  appendLines(out, closing_);
  return out;
}

}  // namespace holders
