#include "platform/message_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

TEST(MessageStream, ValuesRoundTrip) {
  TMessageStream out;
  out.WriteBoolean(true);
  out.WriteBoolean(false);
  out.WriteFloat(45269.75);
  out.WriteInteger(-7);
  out.WriteString("hello");
  out.WriteString("");

  TMessageStream in(out.Bytes());
  EXPECT_TRUE(in.ReadBoolean());
  EXPECT_FALSE(in.ReadBoolean());
  EXPECT_EQ(45269.75, in.ReadFloat());
  EXPECT_EQ(-7, in.ReadInteger());
  EXPECT_EQ("hello", in.ReadString());
  EXPECT_EQ("", in.ReadString());
  EXPECT_EQ(0u, in.Remaining());
}

TEST(MessageStream, EncodingIsLittleEndianWithLengthPrefixedStrings) {
  TMessageStream out;
  out.WriteInteger(0x01020304);
  out.WriteString("ab");
  out.WriteString("");
  EXPECT_EQ(std::string("\x04\x03\x02\x01"
                        "\x02\0\0\0"
                        "ab"
                        "\0\0\0\0",
                        14),
            out.Bytes());
}

TEST(MessageStream, BooleanIsTrueOnlyForByteOne) {
  TMessageStream in(std::string("\x01\x02\x00", 3));
  EXPECT_TRUE(in.ReadBoolean());
  EXPECT_FALSE(in.ReadBoolean());
  EXPECT_FALSE(in.ReadBoolean());
}

TEST(MessageStream, StringStopsAtFirstZeroByte) {
  TMessageStream in(
      std::string("\x05\0\0\0"
                  "ab\0cd"
                  "\x01\0\0\0"
                  "z",
                  14));
  EXPECT_EQ("ab", in.ReadString());
  EXPECT_EQ("z", in.ReadString());  // the whole length was consumed
}

TEST(MessageStream, MalformedInputThrowsAndKeepsPosition) {
  struct Row {
    std::string bytes;
    const char* why;
  };
  const Row rows[] = {
      {std::string("\x01\x00", 2), "integer cut short"},
      {std::string("\xFF\xFF\xFF\xFF", 4), "negative string length"},
      {std::string("\x09\0\0\0abc", 7), "string longer than the data"},
      {std::string("\xFF\xFF\xFF\x7F", 4), "absurd string length"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    TMessageStream in(row.bytes);
    EXPECT_THROW(in.ReadString(), EStreamError);
    EXPECT_EQ(0u, in.Position());
  }
  TMessageStream empty;
  EXPECT_THROW(empty.ReadFloat(), EStreamError);
  EXPECT_THROW(empty.ReadBoolean(), EStreamError);
}

}  // namespace
}  // namespace platform
