// The message frames of named endpoints, both ways, through real sockets in
// a private endpoint directory.
//
// The first byte chooses the direction. Even: the rest is sent to an
// endpoint as a frame; the endpoint must deliver exactly the frames the
// layout allows (a sent one answered with its procedure's result, a posted
// one handled by the pump), drop every other, and close the connection
// either way. Odd: the rest is the answer a peer gives to sendMessage, which
// must return the answer's result when the answer is well formed and 0
// otherwise.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/endpoint.h"

namespace {

using platform::WindowHandle;

constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kMaxFrame = 32 * 1024;  // fits any socket buffer
constexpr std::uint32_t kSent = 1;
constexpr std::uint32_t kPosted = 2;
constexpr std::uint32_t kAnswer = 3;
constexpr auto kHang = std::chrono::seconds(5);

struct Call {
  std::uint32_t msg;
  std::int32_t wparam;
  std::int32_t lparam;
  std::string data;
};

std::vector<Call>& calls() {
  static std::vector<Call> recorded;
  return recorded;
}

std::int32_t resultFor(std::uint32_t msg, std::int32_t wparam) {
  return static_cast<std::int32_t>(msg * 2654435761u) ^ wparam;
}

std::int32_t procedure(WindowHandle, std::uint32_t msg, std::int32_t wparam, intptr_t lparam) {
  Call call{msg, wparam, static_cast<std::int32_t>(lparam), {}};
  if (msg == platform::WM_COPYDATA) {
    const auto* record = reinterpret_cast<const platform::CopyDataStruct*>(lparam);
    call.lparam = record->dwData;
    fuzzing::check(record->cbData == 0 || record->lpData != nullptr, "copy data without bytes");
    if (record->cbData != 0)
      call.data.assign(static_cast<const char*>(record->lpData), record->cbData);
  }
  calls().push_back(std::move(call));
  return resultFor(msg, wparam);
}

std::uint32_t get32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
  }
  return value;
}

struct Expected {
  bool delivered = false;
  bool answered = false;
  Call call;
};

// What the frame layout says an endpoint does with these bytes.
Expected expectedDelivery(std::string_view frame) {
  Expected result;
  if (frame.size() < kHeaderSize || frame.substr(0, 4) != "KMW1") return result;
  const std::uint32_t kind = get32(frame, 4);
  const std::uint32_t msg = get32(frame, 8);
  const std::uint32_t size = get32(frame, 20);
  if (kind != kSent && kind != kPosted) return result;
  if (msg == platform::WM_COPYDATA && kind != kSent) return result;
  if (size != 0 && (msg != platform::WM_COPYDATA || size > platform::kMaxCopyDataSize)) {
    return result;
  }
  if (frame.size() - kHeaderSize < size) return result;
  result.delivered = true;
  result.answered = kind == kSent;
  result.call = {msg, static_cast<std::int32_t>(get32(frame, 12)),
                 static_cast<std::int32_t>(get32(frame, 16)),
                 std::string(frame.substr(kHeaderSize, size))};
  return result;
}

int connectTo(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  fuzzing::check(fd >= 0 && path.size() < sizeof address.sun_path, "cannot create a socket");
  std::memcpy(address.sun_path, path.c_str(), path.size());
  fuzzing::check(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0,
                 "cannot connect to the endpoint");
  return fd;
}

void sendAll(int fd, std::string_view bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;  // the peer may close early on a broken frame
    done += static_cast<std::size_t>(n);
  }
}

platform::Endpoint& endpoint() {
  static platform::Endpoint window("korvex fuzz endpoint", procedure);
  return window;
}

// Sends the frame to the endpoint and pumps until it closes the connection;
// returns what came back.
std::string deliverFrame(std::string_view frame) {
  const int fd = connectTo(platform::endpointSocketPath(endpoint().handle()));
  sendAll(fd, frame);
  ::shutdown(fd, SHUT_WR);
  std::string answer;
  const auto deadline = std::chrono::steady_clock::now() + kHang;
  for (bool open = true; open;) {
    fuzzing::check(std::chrono::steady_clock::now() < deadline,
                   "the endpoint keeps a finished connection open");
    platform::PumpMessages();
    pollfd watch{fd, POLLIN, 0};
    if (::poll(&watch, 1, 1) <= 0) continue;
    char buffer[256];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) answer.append(buffer, static_cast<std::size_t>(n));
    open = n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
  }
  ::close(fd);
  platform::PumpMessages();  // a posted frame is handled by the pump
  return answer;
}

void checkIncoming(std::string_view frame) {
  calls().clear();
  const Expected expected = expectedDelivery(frame);
  const std::string answer = deliverFrame(frame);
  fuzzing::check(calls().size() == (expected.delivered ? 1u : 0u),
                 "the procedure ran for a frame the layout refuses, or not for one it allows");
  if (expected.delivered) {
    const Call& call = calls().front();
    fuzzing::check(call.msg == expected.call.msg && call.wparam == expected.call.wparam &&
                       call.lparam == expected.call.lparam && call.data == expected.call.data,
                   "the procedure got other values than the frame holds");
  }
  if (!expected.answered) {
    fuzzing::check(answer.empty(), "an answer to a frame that wants none");
    return;
  }
  fuzzing::check(answer.size() == kHeaderSize && answer.substr(0, 4) == "KMW1" &&
                     get32(answer, 4) == kAnswer && get32(answer, 20) == 0,
                 "a malformed answer");
  fuzzing::check(static_cast<std::int32_t>(get32(answer, 12)) ==
                     resultFor(expected.call.msg, expected.call.wparam),
                 "the answer does not carry the procedure's result");
}

// A listening socket that stands for a peer window and answers with given
// bytes.
class FakePeer {
 public:
  FakePeer() {
    handle_ = static_cast<WindowHandle>(0x7ff00000 + (::getpid() & 0xfffff));
    if (handle_ == endpoint().handle()) ++handle_;
    const std::string path = platform::endpointSocketPath(handle_);
    ::unlink(path.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    fuzzing::check(
        listener_ >= 0 &&
            ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(listener_, 4) == 0,
        "cannot create the fake peer");
  }

  WindowHandle handle() const { return handle_; }

  // Accepts one connection, reads the request frame and writes reply.
  void answerOnce(std::string reply) const {
    pollfd watch{listener_, POLLIN, 0};
    if (::poll(&watch, 1, static_cast<int>(kHang.count() * 1000)) <= 0) return;
    const int fd = ::accept(listener_, nullptr, nullptr);
    if (fd < 0) return;
    char request[kHeaderSize];
    std::size_t got = 0;
    while (got < kHeaderSize) {
      const ssize_t n = ::recv(fd, request + got, kHeaderSize - got, 0);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    sendAll(fd, reply);
    ::close(fd);
  }

 private:
  WindowHandle handle_ = 0;
  int listener_ = -1;
};

void checkAnswer(std::string_view reply) {
  static const FakePeer peer;
  std::thread answering([&] { peer.answerOnce(std::string(reply)); });
  const std::int32_t result = platform::sendMessage(peer.handle(), 0x0400, 7, 9);
  answering.join();
  const bool wellFormed = reply.size() >= kHeaderSize && reply.substr(0, 4) == "KMW1" &&
                          get32(reply, 4) == kAnswer && get32(reply, 20) == 0;
  const std::int32_t expected = wellFormed ? static_cast<std::int32_t>(get32(reply, 12)) : 0;
  fuzzing::check(result == expected, "sendMessage returned other than the answer's result");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string directory = fuzzing::workFile("endpoints");
  fuzzing::check(::mkdir(directory.c_str(), 0700) == 0, "cannot create the endpoint directory");
  ::setenv("KORVEX_ENDPOINT_DIR", directory.c_str(), 1);
  platform::setMessageTimeout(std::chrono::milliseconds(2000));
  endpoint();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view bytes = fuzzing::asText(data + 1, size - 1);
  if (bytes.size() > kMaxFrame) bytes = bytes.substr(0, kMaxFrame);
  if (data[0] % 2 == 0) {
    checkIncoming(bytes);
  } else {
    checkAnswer(bytes);
  }
  return 0;
}
