#include "platform/message_stream.h"

#include <bit>
#include <cstring>

namespace platform {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the stream encoding is little-endian and is copied byte for byte");

}  // namespace

std::string_view TMessageStream::Read(size_t count) {
  if (count > Remaining()) {
    throw EStreamError("Stream read error: " + std::to_string(count) +
                       " bytes wanted at position " + std::to_string(position_) + ", " +
                       std::to_string(Remaining()) + " available");
  }
  std::string_view bytes(data_.data() + position_, count);
  position_ += count;
  return bytes;
}

void TMessageStream::Write(std::string_view bytes) {
  if (position_ == data_.size()) {
    data_.append(bytes);
  } else {
    if (position_ + bytes.size() > data_.size()) data_.resize(position_ + bytes.size());
    data_.replace(position_, bytes.size(), bytes);
  }
  position_ += bytes.size();
}

void TMessageStream::Seek(size_t position) {
  if (position > data_.size()) throw EStreamError("Stream seek error: position past the end");
  position_ = position;
}

void TMessageStream::Clear() {
  data_.clear();
  position_ = 0;
}

bool TMessageStream::ReadBoolean() {
  return Read(1)[0] == 1;
}

double TMessageStream::ReadFloat() {
  double value;
  std::memcpy(&value, Read(sizeof value).data(), sizeof value);
  return value;
}

int32_t TMessageStream::ReadInteger() {
  int32_t value;
  std::memcpy(&value, Read(sizeof value).data(), sizeof value);
  return value;
}

std::string TMessageStream::ReadString() {
  const size_t start = position_;
  const int32_t length = ReadInteger();
  if (length < 0 || static_cast<size_t>(length) > Remaining()) {
    position_ = start;
    throw EStreamError("Stream read error: string length " + std::to_string(length) +
                       " at position " + std::to_string(start) + " does not fit the data");
  }
  std::string_view bytes = Read(static_cast<size_t>(length));
  return std::string(bytes.substr(0, bytes.find('\0')));
}

void TMessageStream::WriteBoolean(bool value) {
  Write(std::string_view(value ? "\x01" : "\x00", 1));
}

void TMessageStream::WriteFloat(double value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  Write(std::string_view(bytes, sizeof bytes));
}

void TMessageStream::WriteInteger(int32_t value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  Write(std::string_view(bytes, sizeof bytes));
}

void TMessageStream::WriteString(std::string_view value) {
  WriteInteger(static_cast<int32_t>(value.size()));
  Write(value);
}

}  // namespace platform
