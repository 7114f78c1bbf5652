#include "ipc/trace_record.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/message_stream.h"

namespace ipc {
namespace {

constexpr double kUnixEpochDays = 25569.0;  // 1 January 1970
constexpr double kSecondsPerDay = 86400.0;
constexpr double kFirstDay = 1.0;       // 31 December 1899
constexpr double kLastDay = 2958466.0;  // 1 January 10000

}  // namespace

std::string EncodeTraceRecord(const TraceRecord& record) {
  platform::TMessageStream stream;
  stream.WriteString(record.Program);
  stream.WriteFloat(record.Time);
  stream.WriteInteger(record.Kind);
  stream.WriteString(record.Source);
  stream.WriteString(record.Category);
  stream.WriteString(record.Text);
  return stream.Bytes();
}

TraceRecord DecodeTraceRecord(std::string_view bytes) {
  platform::TMessageStream stream{std::string(bytes)};
  TraceRecord record;
  record.Program = stream.ReadString();
  record.Time = stream.ReadFloat();
  record.Kind = stream.ReadInteger();
  record.Source = stream.ReadString();
  record.Category = stream.ReadString();
  record.Text = stream.ReadString();
  return record;
}

double LocalDateTimeNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  const double seconds = static_cast<double>(now.tv_sec) + static_cast<double>(local.tm_gmtoff) +
                         static_cast<double>(now.tv_nsec) / 1e9;
  return kUnixEpochDays + seconds / kSecondsPerDay;
}

std::string FormatDateTime(double days) {
  char buffer[64];
  if (!std::isfinite(days) || days < kFirstDay || days >= kLastDay) {
    std::snprintf(buffer, sizeof buffer, "%g", days);
    return buffer;
  }
  const auto milliseconds = std::llround((days - kUnixEpochDays) * kSecondsPerDay * 1000.0);
  const auto seconds = static_cast<time_t>(std::floor(static_cast<double>(milliseconds) / 1000.0));
  const auto rest = static_cast<int>(milliseconds - static_cast<long long>(seconds) * 1000);
  tm parts{};
  ::gmtime_r(&seconds, &parts);  // the value is local time already
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, rest);
  return buffer;
}

}  // namespace ipc
