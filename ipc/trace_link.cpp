#include "ipc/trace_link.h"

#include <unistd.h>

#include <memory>

#include "ipc/copy_data.h"
#include "ipc/trace_record.h"
#include "platform/files.h"

namespace ipc {
namespace {

constinit bool linkStarted = false;

// Reached for the first time only after the link's channel exists, so this
// slot is destroyed before the window registries it would need.
std::unique_ptr<TCopyData>& linkSlot() {
  static std::unique_ptr<TCopyData> slot;
  return slot;
}

std::string& moduleName() {
  static std::string name;
  return name;
}

std::string runningExecutable() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

void traceStatus(std::string_view text) {
  Trace(0, "DEBUGGER", "Status", text);
}

}  // namespace

std::string FormatTraceText(std::string_view Format, std::initializer_list<TraceArg> Args) {
  std::string text;
  auto next = Args.begin();
  for (size_t i = 0; i < Format.size(); ++i) {
    const char c = Format[i];
    const char conversion = i + 1 < Format.size() ? Format[i + 1] : '\0';
    if (c == '%' && conversion == '%') {
      text += '%';
      ++i;
    } else if (c == '%' && (conversion == 'd' || conversion == 's') && next != Args.end()) {
      text += next->text();
      ++next;
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

void Trace(uint8_t Kind, std::string_view Source, std::string_view Category,
           std::string_view Format, std::initializer_list<TraceArg> Args) {
  TCopyData* link = TraceLink();
  if (!link || !link->IsLinked()) return;
  TraceRecord record;
  record.Program = ModuleName();
  record.Time = LocalDateTimeNow();
  record.Kind = Kind;
  record.Source = Source;
  record.Category = Category;
  record.Text = FormatTraceText(Format, Args);
  const std::string bytes = EncodeTraceRecord(record);
  link->SendData(0, bytes.data(), static_cast<int32_t>(bytes.size()));
}

TCopyData* TraceLink() {
  return linkStarted ? linkSlot().get() : nullptr;
}

const std::string& ModuleName() {
  return moduleName();
}

void StartTraceLink(std::string_view programPath) {
  if (linkStarted) return;
  moduleName() = platform::extractFileName(programPath.empty() ? runningExecutable() : programPath);
  std::unique_ptr<TCopyData> link;
  try {
    link = std::make_unique<TCopyData>();
  } catch (const platform::FileError&) {
    return;  // no endpoint, no monitor: the program runs as if none were there
  }
  link->Logging = false;
  link->SetID(kTraceLinkID);
  link->TargetID = kTraceMonitorID;
  link->LocateTarget();
  linkSlot() = std::move(link);
  linkStarted = true;
  if (TraceLink()->IsLinked()) traceStatus("Debugger located and being used.");
  traceStatus("PROGRAM START");
}

void StopTraceLink() {
  if (!linkStarted) return;
  traceStatus("PROGRAM STOP");
  linkSlot().reset();
  linkStarted = false;
}

}  // namespace ipc
