// Where finished pages go.
//
// Every page a holder fills reaches the output through one PageSink, together
// with the topic it belongs to. The help build writes them all, in order, to
// one buffered topics file; another output format can route each topic
// elsewhere (a file per topic, say) without touching the holders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "templates/document_template.h"

namespace holders {

enum class TopicKind {
  Header,          // opens the document
  Contents,        // the contents topic with the unit list
  Unit,            // a unit's page
  Type,            // a type's page
  PropertiesList,  // member lists of a class
  MethodsList,
  EventsList,
  Method,  // a method of a type or a unit-level routine
  Property,
  Variable,
  Constant,
  Sample,  // the sample topic of the holder named by the id
};

// The topic a page belongs to: its kind and the jump name of the holder
// (empty for the header and the contents).
struct TopicRef {
  TopicKind kind;
  std::string id;
};

class PageSink {
 public:
  virtual ~PageSink() = default;
  // Writes the page's lines, in order.
  virtual void writePage(const TopicRef& topic, const std::vector<std::string>& lines) = 0;
  // Writes a filled page's Document lines. By default as writePage.
  virtual void writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page);
  // Writes a page kept by a PageBuffer, its lines given as views. By
  // default as writePage.
  virtual void writeBufferedPage(const TopicRef& topic, const std::vector<std::string_view>& lines);
  // Whether the sink takes a page as one text (writePageText), its lines
  // each followed by CR LF, as well as line by line.
  virtual bool takesPageText() const { return false; }
  // Writes one or more whole pages given as one text (topic is the first's);
  // only for a sink that takes page texts.
  virtual void writePageText(const TopicRef& topic, std::string_view text);
  // Writes the dialect's closing line and flushes; errors surface here.
  virtual void finish(std::string_view closingLine) = 0;
  // Whether the sink reads the pages' topic ids. One that does not (a file
  // of pages) spares the holders making an id for every page.
  virtual bool usesTopicIds() const { return true; }
};

// The reference of holder's page of that kind written to output: the id is
// the holder's jump name, made only when output uses it.
template <class Holder>
TopicRef topicOf(const PageSink& output, TopicKind kind, const Holder& holder) {
  return TopicRef{kind, output.usesTopicIds() ? holder.JumpName() : std::string()};
}

// Writes every page into one text file, each line ended by CR LF.
class FilePageWriter final : public PageSink {
 public:
  // Creates or empties the file. Throws platform::FileError.
  explicit FilePageWriter(std::string_view path);
  // Writes what is pending; an unfinished file keeps the pages written.
  ~FilePageWriter() override;
  FilePageWriter(const FilePageWriter&) = delete;
  FilePageWriter& operator=(const FilePageWriter&) = delete;

  void writePage(const TopicRef& topic, const std::vector<std::string>& lines) override;
  void writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page) override;
  void writeBufferedPage(const TopicRef& topic,
                         const std::vector<std::string_view>& lines) override;
  bool takesPageText() const override { return true; }
  void writePageText(const TopicRef& topic, std::string_view text) override;
  void finish(std::string_view closingLine) override;
  bool usesTopicIds() const override { return false; }

 private:
  // Writes out the pending text once it fills a write.
  void writeWhenFull();

  platform::TextFileWriter out_;
  // Pages are made straight into this text, which goes to out_ in writes of
  // at least out_'s buffer size, so that out_ writes it without a copy.
  std::string pending_;
};

// Keeps pages made away from the output (on another thread, say) until
// replayTo hands them on, in order and line for line as they were written.
class PageBuffer final : public PageSink {
 public:
  // A buffer for an output that takes page texts keeps every page as text,
  // made straight into blocks of a few hundred KB, and replays a block at a
  // time.
  explicit PageBuffer(bool keepsPageText = false) : keepsPageText_(keepsPageText) {}

  void writePage(const TopicRef& topic, const std::vector<std::string>& lines) override;
  void writeFilledPage(const TopicRef& topic, const templates::TDocumentTemplate& page) override;
  // Only the final sink closes the document.
  void finish(std::string_view closingLine) override;

  void replayTo(PageSink& output) const;
  // Empties the buffer for the next pages, keeping the room of one text
  // block: a buffer used again then seldom allocates.
  void clear();
  // The memory the kept pages take, roughly.
  size_t bytes() const { return bytes_; }

 private:
  struct Page {
    TopicRef topic;
    size_t firstLine;
    size_t lineCount;
  };
  // Keeps a copy of text in the blocks and its view in lines_.
  void keep(std::string_view text);
  // The block a page kept as text goes into.
  std::string& textBlock(const TopicRef& topic);

  bool keepsPageText_;
  // Kept as lines: the lines' text, in blocks that never grow past their
  // first capacity, so the views stay valid and a large unit is never copied
  // while it grows. Kept as text: the pages' text, a block's first page
  // being blockTopics_'s entry.
  std::vector<std::string> blocks_;
  std::string spareBlock_;  // an empty text block's room, kept by clear()
  std::vector<TopicRef> blockTopics_;
  std::vector<std::string_view> lines_;
  std::vector<Page> pages_;
  size_t bytes_ = 0;
};

// Keeps the pages in memory, for tests and for callers that post-process.
class MemoryPageSink final : public PageSink {
 public:
  struct Page {
    TopicRef topic;
    std::vector<std::string> lines;
  };

  void writePage(const TopicRef& topic, const std::vector<std::string>& lines) override;
  void finish(std::string_view closingLine) override;

  const std::vector<Page>& pages() const { return pages_; }
  // Every line written, each followed by CR LF, as the file writer would.
  std::string text() const;

 private:
  std::vector<Page> pages_;
  std::vector<std::string> closing_;
};

}  // namespace holders
