// The trace link: both programs announce their start and stop to an outside
// trace monitor (korvex-trace) when one runs.
//
// The link is a TCopyData numbered 10101 whose peer is the monitor's window
// "Mobrisk CopyData: #7771". It is looked for once, at start; each Trace then
// checks that the monitor still answers and sends it one TraceRecord. When no
// monitor runs, every Trace ends at that check and costs next to nothing.
//
// A program wires the link up with one object at the top of main:
//
//   int main(int argc, char** argv) {
//     ipc::TraceSession traceSession;
//     ...
//   }
//
// Its constructor starts the link before the program's own code (sending
// "Debugger located and being used." when a monitor answered, then
// "PROGRAM START"); its destructor sends "PROGRAM STOP" and closes the link
// once main's own objects are gone. A program that leaves through std::exit
// skips the stop record. All calls belong to the main thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace ipc {

class TCopyData;

inline constexpr uint16_t kTraceLinkID = 10101;
inline constexpr uint16_t kTraceMonitorID = 7771;

// One argument of a trace format.
class TraceArg {
 public:
  template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
  TraceArg(Number number) : text_(std::to_string(number)) {}
  TraceArg(std::string_view text) : text_(text) {}
  TraceArg(const char* text) : text_(text) {}
  TraceArg(const std::string& text) : text_(text) {}
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Format with each %d and %s replaced by the next argument and %% by '%'. A
// placeholder without an argument left, or any other '%', stays as written.
std::string FormatTraceText(std::string_view Format, std::initializer_list<TraceArg> Args = {});

// Sends one trace record when the link is up and the monitor answers;
// otherwise does nothing.
void Trace(uint8_t Kind, std::string_view Source, std::string_view Category,
           std::string_view Format, std::initializer_list<TraceArg> Args = {});

// The link's channel; nullptr while no link is started.
TCopyData* TraceLink();
// File name of the running program, without directory, as records carry it.
const std::string& ModuleName();

// Starts the link once per process; programPath names the program (default:
// the running executable). Never throws: without an endpoint the link stays
// down.
void StartTraceLink(std::string_view programPath = {});
// Sends "PROGRAM STOP" and closes the link; nothing when it is not started.
void StopTraceLink();

class TraceSession {
 public:
  explicit TraceSession(std::string_view programPath = {}) { StartTraceLink(programPath); }
  ~TraceSession() { StopTraceLink(); }
  TraceSession(const TraceSession&) = delete;
  TraceSession& operator=(const TraceSession&) = delete;
};

}  // namespace ipc
