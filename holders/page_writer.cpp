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

FilePageWriter::FilePageWriter(std::string_view path) : out_(path) {}

void FilePageWriter::writePage(const TopicRef& /*topic*/, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out_.writeLine(line);
}

void FilePageWriter::writeFilledPage(const TopicRef& /*topic*/,
                                     const templates::TDocumentTemplate& page) {
  // Made as one text: a page filled by plan is then built from its pieces
  // without making its lines.
  page_.clear();
  page.AppendText(page_);
  out_.write(page_);
}

void FilePageWriter::writePageText(const TopicRef& /*topic*/, std::string_view text) {
  out_.write(text);
}

void FilePageWriter::writeBufferedPage(const TopicRef& /*topic*/,
                                       const std::vector<std::string_view>& lines) {
  for (const std::string_view line : lines) out_.writeLine(line);
}

void FilePageWriter::finish(std::string_view closingLine) {
  out_.writeLine(closingLine);
  out_.close();
}

void PageBuffer::writePage(const TopicRef& topic, const std::vector<std::string>& lines) {
  pages_.push_back(Page{topic, lines_.size(), lines.size(), false});
  for (const std::string& line : lines) keep(line);
}

void PageBuffer::writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page) {
  if (!keepsPageText_) {
    writePage(topic, page.Document());
    return;
  }
  page_.clear();
  page.AppendText(page_);
  pages_.push_back(Page{topic, lines_.size(), 1, true});
  keep(page_);
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

void PageBuffer::finish(std::string_view /*closingLine*/) {
  throw std::logic_error("a page buffer is replayed, not finished");
}

void PageBuffer::replayTo(PageSink& output) const {
  std::vector<std::string_view> lines;
  for (const Page& page : pages_) {
    if (page.asText) {
      output.writePageText(page.topic, lines_[page.firstLine]);
      continue;
    }
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
  for (const Page& page : pages_) {
    for (const std::string& line : page.lines) out.append(line).append("\r\n");
  }
  for (const std::string& line : closing_) out.append(line).append("\r\n");
  return out;
}

}  // namespace holders
