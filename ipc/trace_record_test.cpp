#include "ipc/trace_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "platform/message_stream.h"

namespace ipc {
namespace {

// "prog", 45292.5 (2024-01-01 12:00), kind 2, "DEBUGGER", "Status", "hi".
const std::string kRecord(
    "\x04\x00\x00\x00"
    "prog"                              // program
    "\x00\x00\x00\x00\x90\x1d\xe6\x40"  // time, IEEE double 45292.5
    "\x02\x00\x00\x00"                  // kind
    "\x08\x00\x00\x00"
    "DEBUGGER"  // source
    "\x06\x00\x00\x00"
    "Status"  // category
    "\x02\x00\x00\x00"
    "hi",  // text
    48);

TEST(TraceRecord, EncodesFieldByFieldInOrder) {
  TraceRecord record{"prog", 45292.5, 2, "DEBUGGER", "Status", "hi"};
  EXPECT_EQ(kRecord, EncodeTraceRecord(record));
}

TEST(TraceRecord, DecodesFieldByField) {
  const TraceRecord record = DecodeTraceRecord(kRecord);
  EXPECT_EQ("prog", record.Program);
  EXPECT_EQ(45292.5, record.Time);
  EXPECT_EQ(2, record.Kind);
  EXPECT_EQ("DEBUGGER", record.Source);
  EXPECT_EQ("Status", record.Category);
  EXPECT_EQ("hi", record.Text);
}

TEST(TraceRecord, EveryTruncationIsRejected) {
  for (size_t length = 0; length < kRecord.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_THROW(DecodeTraceRecord(std::string_view(kRecord).substr(0, length)),
                 platform::EStreamError);
  }
}

TEST(TraceRecord, AbsurdStringLengthIsRejected) {
  std::string bytes = kRecord;
  bytes[3] = '\x7f';  // program length 0x7f000004
  EXPECT_THROW(DecodeTraceRecord(bytes), platform::EStreamError);
  bytes[3] = '\xff';  // negative
  EXPECT_THROW(DecodeTraceRecord(bytes), platform::EStreamError);
}

TEST(TraceRecord, DateTimesPrintAsCalendarTime) {
  struct Case {
    double days;
    const char* text;
    const char* why;
  } cases[] = {
      {45292.5, "2024-01-01 12:00:00.000", "noon"},
      {25569.0, "1970-01-01 00:00:00.000", "the Unix epoch"},
      {2.0, "1900-01-01 00:00:00.000", "day 2"},
      {45292.0 + 0.9999999999, "2024-01-02 00:00:00.000", "rounds to the next day"},
      {45292.0 + 1.5 / 86400, "2024-01-01 00:00:01.500", "milliseconds"},
      {-1.0, "-1", "before the calendar starts"},
      {1e300, "1e+300", "absurd"},
      {std::nan(""), "nan", "not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.text, FormatDateTime(c.days));
  }
}

TEST(TraceRecord, NowIsTheLocalWallClock) {
  const time_t now = std::time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  const double expected = 25569.0 + static_cast<double>(now + local.tm_gmtoff) / 86400.0;
  EXPECT_NEAR(expected, LocalDateTimeNow(), 2.0 / 86400);
}

}  // namespace
}  // namespace ipc
