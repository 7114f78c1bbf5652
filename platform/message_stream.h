// TMessageStream: a growable byte buffer with a position and typed values.
//
// The trace records and the language files share this encoding; all numbers
// are little-endian:
//
//   boolean  1 byte: 1 is true, any other byte value reads as false
//   float    8 bytes, IEEE 754 double
//   integer  4 bytes, signed
//   string   integer length n, then n bytes, no terminator (empty: n = 0)
//
// Reads are checked: a value that runs past the end of the data, or a string
// length that is negative or larger than what remains, throws EStreamError
// and leaves the position where it was.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TMessageStream {
 public:
  TMessageStream() = default;
  explicit TMessageStream(std::string bytes) : data_(std::move(bytes)) {}

  bool ReadBoolean();
  double ReadFloat();
  int32_t ReadInteger();
  // Reads n bytes and returns them up to the first zero byte.
  std::string ReadString();

  void WriteBoolean(bool value);
  void WriteFloat(double value);
  void WriteInteger(int32_t value);
  void WriteString(std::string_view value);

  // Raw access, as the in-memory stream underneath offers it.
  void Write(std::string_view bytes);
  std::string_view Read(size_t count);

  size_t Size() const { return data_.size(); }
  size_t Position() const { return position_; }
  size_t Remaining() const { return data_.size() - position_; }
  void Seek(size_t position);
  const std::string& Bytes() const { return data_; }
  void Clear();

 private:
  std::string data_;
  size_t position_ = 0;
};

}  // namespace platform
