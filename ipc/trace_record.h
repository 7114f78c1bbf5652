// The trace record: the whole data block of one trace event sent to the
// trace monitor, as copy-data number 0. Fields in order, encoded as
// platform::TMessageStream values:
//
//   Program   string   file name of the running program, without directory
//   Time      float    local date and time: days since 30 December 1899,
//                      the fraction being the time of day
//   Kind      integer  a small number chosen by the caller
//   Source    string   "DEBUGGER" or "TCopyData"
//   Category  string   "Status" or "Connection"
//   Text      string   the formatted trace text
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ipc {

struct TraceRecord {
  std::string Program;
  double Time = 0;
  int32_t Kind = 0;
  std::string Source;
  std::string Category;
  std::string Text;
};

std::string EncodeTraceRecord(const TraceRecord& record);
// Throws platform::EStreamError when the bytes are not a whole record; bytes
// after the text are ignored.
TraceRecord DecodeTraceRecord(std::string_view bytes);

// The local date and time now, in days since 30 December 1899.
double LocalDateTimeNow();
// "YYYY-MM-DD HH:MM:SS.mmm" for days since 30 December 1899 (years 1900 to
// 9999); any other value as a plain number.
std::string FormatDateTime(double days);

}  // namespace ipc
