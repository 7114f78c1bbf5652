// Frames, calls and the message pump of named endpoints.
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>

#include "platform/endpoint.h"
#include "platform/endpoint_internal.h"
#include "platform/files.h"

namespace platform {

using endpoint_detail::Clock;
using endpoint_detail::ConnectResult;
using endpoint_detail::Incoming;
using endpoint_detail::UniqueFd;

namespace {

constexpr char kMagic[4] = {'K', 'M', 'W', '1'};
constexpr size_t kHeaderSize = 24;
constexpr uint32_t kSent = 1;
constexpr uint32_t kPosted = 2;
constexpr uint32_t kAnswer = 3;
constexpr size_t kMaxPendingConnections = 32;
constexpr size_t kReadChunk = 64 * 1024;
constexpr int kMaxPumpPasses = 1000;
constexpr int kBusyRetryMs = 5;

std::atomic<int64_t> timeoutMs{2000};

struct Frame {
  uint32_t kind = 0;
  uint32_t msg = 0;
  int32_t wparam = 0;
  int32_t lparam = 0;
  std::string_view data;
};

struct PostedMessage {
  WindowHandle window;
  uint32_t msg;
  int32_t wparam;
  int32_t lparam;
};

// The calling thread's message queue: posted messages and the quit request.
struct ThreadQueue {
  std::deque<PostedMessage> posted;
  std::optional<int> quit;
};

ThreadQueue& threadQueue() {
  thread_local ThreadQueue queue;
  return queue;
}

void put32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xff);
}

uint32_t get32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
  }
  return value;
}

std::string encodeFrame(uint32_t kind, uint32_t msg, int32_t wparam, int32_t lparam,
                        std::string_view data = {}) {
  std::string out(kMagic, sizeof kMagic);
  put32(out, kind);
  put32(out, msg);
  put32(out, static_cast<uint32_t>(wparam));
  put32(out, static_cast<uint32_t>(lparam));
  put32(out, static_cast<uint32_t>(data.size()));
  out.append(data);
  return out;
}

Frame decodeHeader(std::string_view bytes) {
  Frame frame;
  frame.kind = get32(bytes, 4);
  frame.msg = get32(bytes, 8);
  frame.wparam = static_cast<int32_t>(get32(bytes, 12));
  frame.lparam = static_cast<int32_t>(get32(bytes, 16));
  frame.data = bytes.substr(kHeaderSize);
  return frame;
}

// The data size an endpoint accepts for this header, or nullopt when the
// frame is not one an endpoint takes: wrong magic or kind, data on anything
// but a sent copy-data message, a posted copy-data message, too much data.
std::optional<uint32_t> acceptedDataSize(std::string_view header) {
  if (std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  const uint32_t kind = get32(header, 4);
  const uint32_t msg = get32(header, 8);
  const uint32_t size = get32(header, 20);
  if (kind != kSent && kind != kPosted) return std::nullopt;
  if (msg == WM_COPYDATA && kind != kSent) return std::nullopt;
  if (size != 0 && (msg != WM_COPYDATA || size > kMaxCopyDataSize)) return std::nullopt;
  return size;
}

enum class ReadState { Waiting, Complete, Broken };

// Reads what has arrived without blocking, never past the end of the frame.
ReadState readIncoming(Incoming& in) {
  for (;;) {
    size_t want = kHeaderSize;
    if (in.buffer.size() >= kHeaderSize) {
      const auto size = acceptedDataSize(in.buffer);
      if (!size) return ReadState::Broken;
      want += *size;
    }
    if (in.buffer.size() == want) return ReadState::Complete;
    const size_t old = in.buffer.size();
    const size_t chunk = std::min(kReadChunk, want - old);
    in.buffer.resize(old + chunk);
    const ssize_t got = ::recv(in.fd.get(), in.buffer.data() + old, chunk, MSG_DONTWAIT);
    in.buffer.resize(old + static_cast<size_t>(std::max<ssize_t>(got, 0)));
    if (got > 0) continue;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return ReadState::Waiting;
    return ReadState::Broken;
  }
}

struct Completed {
  WindowHandle window;
  UniqueFd fd;
  std::string frame;
};

void acceptConnections(EndpointState& state) {
  while (state.incoming.size() < kMaxPendingConnections) {
    UniqueFd fd(::accept4(state.listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd) return;
    if (!endpoint_detail::peerIsSameUser(fd.get())) continue;
    state.incoming.push_back({std::move(fd), {}, Clock::now() + messageTimeout()});
  }
}

// Accepts and reads for one endpoint; frames that arrived whole move to done.
void collectFrames(EndpointState& state, std::vector<Completed>& done) {
  acceptConnections(state);
  const auto now = Clock::now();
  std::erase_if(state.incoming, [&](Incoming& in) {
    switch (readIncoming(in)) {
      case ReadState::Complete:
        done.push_back({state.handle, std::move(in.fd), std::move(in.buffer)});
        return true;
      case ReadState::Broken:
        return true;
      case ReadState::Waiting:
        break;
    }
    return now >= in.deadline;
  });
}

int32_t dispatch(WindowHandle window, const Frame& frame) {
  // A copy, so that a procedure that destroys its own endpoint stays alive
  // until it returns.
  const WindowProc proc = endpoint_detail::threadEndpointProc(window);
  if (!proc) return 0;
  if (frame.msg != WM_COPYDATA) return proc(window, frame.msg, frame.wparam, frame.lparam);
  CopyDataStruct record;
  record.dwData = frame.lparam;
  record.cbData = static_cast<uint32_t>(frame.data.size());
  record.lpData = frame.data.empty() ? nullptr : frame.data.data();
  return proc(window, frame.msg, frame.wparam, reinterpret_cast<intptr_t>(&record));
}

void writeAnswer(int fd, int32_t result) {
  const std::string answer = encodeFrame(kAnswer, 0, result, 0);
  // Small enough for any socket buffer; a sender that has gone is no error.
  [[maybe_unused]] const ssize_t sent =
      ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

bool deliver(std::vector<Completed>& done) {
  for (Completed& item : done) {
    const Frame frame = decodeHeader(item.frame);
    if (frame.kind == kPosted) {
      threadQueue().posted.push_back({item.window, frame.msg, frame.wparam, frame.lparam});
      continue;
    }
    writeAnswer(item.fd.get(), dispatch(item.window, frame));
    item.fd.reset();
  }
  return !done.empty();
}

// Waits up to timeout for activity on this thread's endpoints (or on extra,
// whose revents it fills), then accepts and reads what is ready. Sent frames
// are dispatched at once, posted ones join the queue. True when a frame was
// delivered.
bool serviceThread(int timeout, pollfd* extra) {
  const std::vector<EndpointState*> endpoints = endpoint_detail::threadEndpoints();
  std::vector<pollfd> fds;
  for (const EndpointState* state : endpoints) {
    if (state->incoming.size() < kMaxPendingConnections) {
      fds.push_back({state->listener.get(), POLLIN, 0});
    }
    for (const Incoming& in : state->incoming) fds.push_back({in.fd.get(), POLLIN, 0});
  }
  if (extra) fds.push_back(*extra);
  const int ready = ::poll(fds.data(), fds.size(), std::max(timeout, 0));
  if (extra) extra->revents = ready > 0 ? fds.back().revents : 0;
  std::vector<Completed> done;
  for (EndpointState* state : endpoints) collectFrames(*state, done);
  return deliver(done);
}

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<int64_t>(left.count(), 0, 1 << 30));
}

std::optional<UniqueFd> connectTo(WindowHandle target, Clock::time_point deadline) {
  std::string path;
  try {
    path = endpointSocketPath(target);
  } catch (const FileError&) {
    return std::nullopt;
  }
  UniqueFd fd;
  for (;;) {
    const ConnectResult result = endpoint_detail::connectSocket(path, fd);
    if (result == ConnectResult::Connected) break;
    if (result == ConnectResult::NoEndpoint || Clock::now() >= deadline) return std::nullopt;
    serviceThread(kBusyRetryMs, nullptr);
  }
  if (!endpoint_detail::peerIsSameUser(fd.get())) return std::nullopt;
  return fd;
}

bool writeSome(int fd, std::string_view bytes, size_t& sent) {
  const ssize_t n =
      ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
  if (n > 0) sent += static_cast<size_t>(n);
  return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR));
}

// Reads the answer frame; its result once whole and valid.
std::optional<int32_t> readAnswer(int fd, std::string& answer, bool& broken) {
  char buffer[kHeaderSize];
  const ssize_t n = ::recv(fd, buffer, kHeaderSize - answer.size(), MSG_DONTWAIT);
  if (n > 0) answer.append(buffer, static_cast<size_t>(n));
  broken = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
  if (answer.size() < kHeaderSize) return std::nullopt;
  broken = true;
  const Frame frame = decodeHeader(answer);
  if (std::memcmp(answer.data(), kMagic, sizeof kMagic) != 0 || frame.kind != kAnswer ||
      get32(answer, 20) != 0) {
    return std::nullopt;
  }
  return frame.wparam;
}

// Delivers one frame, keeping this thread's own endpoints served while it
// waits; the answer for a sent frame, 0 for a posted one, nullopt on failure.
std::optional<int32_t> transact(WindowHandle target, std::string_view frame, bool wantAnswer) {
  if (target <= 0) return std::nullopt;
  const auto deadline = Clock::now() + messageTimeout();
  std::optional<UniqueFd> fd = connectTo(target, deadline);
  if (!fd) return std::nullopt;
  size_t sent = 0;
  std::string answer;
  for (;;) {
    if (sent < frame.size() && !writeSome(fd->get(), frame, sent)) return std::nullopt;
    if (sent == frame.size() && !wantAnswer) return 0;
    if (Clock::now() >= deadline) return std::nullopt;
    pollfd watch{fd->get(), static_cast<short>(sent < frame.size() ? POLLOUT : POLLIN), 0};
    serviceThread(millisecondsUntil(deadline), &watch);
    if (sent < frame.size() || watch.revents == 0) continue;
    bool broken = false;
    if (auto result = readAnswer(fd->get(), answer, broken)) return result;
    if (broken) return std::nullopt;
  }
}

}  // namespace

int32_t sendMessage(WindowHandle target, uint32_t msg, int32_t wparam, int32_t lparam) {
  if (msg == WM_COPYDATA) return 0;
  return transact(target, encodeFrame(kSent, msg, wparam, lparam), true).value_or(0);
}

int32_t sendCopyData(WindowHandle target, WindowHandle sender, int32_t number,
                     std::string_view bytes) {
  if (bytes.size() > kMaxCopyDataSize) return 0;
  return transact(target, encodeFrame(kSent, WM_COPYDATA, sender, number, bytes), true).value_or(0);
}

bool postMessage(WindowHandle target, uint32_t msg, int32_t wparam, int32_t lparam) {
  if (msg == WM_COPYDATA) return false;
  return transact(target, encodeFrame(kPosted, msg, wparam, lparam), false).has_value();
}

bool PumpMessages() {
  ThreadQueue& queue = threadQueue();
  for (int pass = 0; pass < kMaxPumpPasses; ++pass) {
    bool progress = serviceThread(0, nullptr);
    while (!queue.posted.empty()) {
      const PostedMessage message = queue.posted.front();
      queue.posted.pop_front();
      const WindowProc proc = endpoint_detail::threadEndpointProc(message.window);
      if (proc) proc(message.window, message.msg, message.wparam, message.lparam);
      progress = true;
    }
    if (queue.quit) return true;
    if (!progress) return false;
  }
  return false;
}

bool waitMessage(std::chrono::milliseconds timeout) {
  ThreadQueue& queue = threadQueue();
  if (queue.posted.empty() && !queue.quit) {
    serviceThread(static_cast<int>(std::clamp<int64_t>(timeout.count(), 0, 1 << 30)), nullptr);
  }
  return !queue.posted.empty() || queue.quit.has_value();
}

void postQuitMessage(int exitCode) {
  threadQueue().quit = exitCode;
}

std::optional<int> takeQuitMessage() {
  return std::exchange(threadQueue().quit, std::nullopt);
}

void setMessageTimeout(std::chrono::milliseconds timeout) {
  timeoutMs = timeout.count();
}

std::chrono::milliseconds messageTimeout() {
  return std::chrono::milliseconds(timeoutMs.load());
}

}  // namespace platform
