#include "holders/page_writer.h"

#include <algorithm>
#include <stdexcept>

namespace holders {

void PageSink::writeBufferedPage(const TopicRef& topic,
                                 const std::vector<std::string_view>& lines) {
  writePage(topic, std::vector<std::string>(lines.begin(), lines.end()));
}

FilePageWriter::FilePageWriter(std::string_view path) : out_(path) {}

void FilePageWriter::writePage(const TopicRef& /*topic*/, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out_.writeLine(line);
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
  constexpr size_t kBlockSize = 256 * 1024;
  pages_.push_back(Page{topic, lines_.size(), lines.size()});
  for (const std::string& line : lines) {
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < line.size()) {
      blocks_.emplace_back().reserve(std::max(kBlockSize, line.size()));
    }
    std::string& block = blocks_.back();
    const size_t start = block.size();
    block.append(line);
    lines_.push_back(std::string_view(block).substr(start));
    bytes_ += line.size() + sizeof(std::string_view);
  }
}

void PageBuffer::finish(std::string_view /*closingLine*/) {
  throw std::logic_error("a page buffer is replayed, not finished");
}

void PageBuffer::replayTo(PageSink& output) const {
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
  for (const Page& page : pages_) {
    for (const std::string& line : page.lines) out.append(line).append("\r\n");
  }
  for (const std::string& line : closing_) out.append(line).append("\r\n");
  return out;
}

}  // namespace holders
