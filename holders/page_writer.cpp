#include "holders/page_writer.h"

namespace holders {

FilePageWriter::FilePageWriter(std::string_view path) : out_(path) {}

void FilePageWriter::writePage(const TopicRef& /*topic*/, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out_.writeLine(line);
}

void FilePageWriter::finish(std::string_view closingLine) {
  out_.writeLine(closingLine);
  out_.close();
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
