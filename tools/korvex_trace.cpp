#include "tools/korvex_trace.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "ipc/trace_link.h"
#include "platform/endpoint.h"
#include "platform/message_stream.h"

namespace tools {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// One line per record, whatever bytes a program put in its fields.
std::string printable(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  return out;
}

long parseCount(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < 1) {
    throw TraceMonitorError("--count needs a positive whole number, not \"" + text + "\"");
  }
  return value;
}

}  // namespace

TraceMonitorOptions parseTraceMonitorArguments(const std::vector<std::string>& args) {
  TraceMonitorOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      options.help = true;
    } else if (args[i] == "--count") {
      if (i + 1 == args.size()) throw TraceMonitorError("--count needs a number");
      options.count = parseCount(args[++i]);
    } else {
      throw TraceMonitorError("unknown argument: " + args[i]);
    }
  }
  return options;
}

std::string formatTraceLine(const ipc::TraceRecord& record) {
  return ipc::FormatDateTime(record.Time) + " | " + printable(record.Program) + " | " +
         std::to_string(record.Kind) + " | " + printable(record.Source) + " | " +
         printable(record.Category) + " | " + printable(record.Text);
}

TraceMonitor::TraceMonitor(std::ostream& lines, std::ostream& errors)
    : lines_(lines), errors_(errors) {
  platform::removeStaleEndpoints();
  if (platform::findWindow(ipc::CopyDataTitle(ipc::kTraceMonitorID)) != 0) {
    throw TraceMonitorError("another trace monitor is running already");
  }
  window_ = std::make_unique<ipc::TCopyData>();
  window_->Logging = false;
  window_->SetID(ipc::kTraceMonitorID);
  window_->OnIncoming = [this](ipc::TCopyData&, int32_t number, const void* data, int32_t size) {
    return onIncoming(number, data, size);
  };
}

void TraceMonitor::run(std::optional<long> count, const volatile std::sig_atomic_t& stop) {
  while (stop == 0 && (!count || printed_ < *count)) {
    platform::waitMessage(kPollInterval);
    if (platform::PumpMessages()) break;
  }
}

int32_t TraceMonitor::onIncoming(int32_t number, const void* data, int32_t size) {
  const std::string_view bytes(static_cast<const char*>(data),
                               data ? static_cast<size_t>(size) : 0);
  if (number != 0) {
    errors_ << "korvex-trace: data block " << number << " of " << size
            << " bytes is no trace record; skipped\n";
    return 0;
  }
  try {
    lines_ << formatTraceLine(ipc::DecodeTraceRecord(bytes)) << std::endl;
    ++printed_;
  } catch (const platform::EStreamError&) {
    errors_ << "korvex-trace: unreadable trace record of " << size << " bytes; skipped\n";
  }
  return 0;
}

}  // namespace tools
