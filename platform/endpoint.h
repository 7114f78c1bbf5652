// Named endpoints: hidden windows and window messages on a system without
// them.
//
// An endpoint is a listening Unix-domain socket in a directory private to the
// user, mode 0700: $KORVEX_ENDPOINT_DIR when set, else
// $XDG_RUNTIME_DIR/korvex-mini, else <temp dir>/korvex-mini-<uid>. Entries:
//
//   w<8 hex digits>   an endpoint's socket; the digits are its window handle
//   t.<title>         symbolic link to the socket of the endpoint that holds
//                     the title ('/', '%' and NUL escaped as %XX; a title too
//                     long for a file name becomes t.#<hash>)
//   l.<hex>, b.<pid>.<n>   short-lived names used while creating the above
//
// Finding a window by title reads the link and knocks on the socket: a socket
// nobody listens on (its process died) counts as no window and is removed.
// Sockets whose owner is another user are never talked to, in either
// direction.
//
// One connection carries one message. The sender connects, writes a frame
// and, for a sent (not posted) message, reads the answer frame. A frame, all
// numbers little-endian:
//
//   offset size
//   0      4    magic "KMW1"
//   4      4    kind: 1 sent (answer wanted), 2 posted, 3 answer
//   8      4    message number
//   12     4    wparam, signed; in an answer, the result
//   16     4    lparam, signed; for WM_COPYDATA, the record's number
//   20     4    data size: 0, except for a sent WM_COPYDATA (at most
//                kMaxCopyDataSize)
//   24     n    data
//
// A frame that breaks these rules, or that does not arrive whole within the
// message timeout, is dropped without being delivered.
//
// Endpoints belong to the thread that creates them and their messages are
// handled only there: sent messages while that thread runs PumpMessages,
// waitMessage or waits for an answer of its own; posted messages queue up
// until PumpMessages. Every wait ends after the message timeout at the latest.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using WindowHandle = int32_t;  // 0: no window

inline constexpr uint32_t WM_COPYDATA = 74;
inline constexpr uint32_t kMaxCopyDataSize = 16 * 1024 * 1024;

// The copy-data record as a window procedure sees it (COPYDATASTRUCT); the
// bytes are valid only during the call.
struct CopyDataStruct {
  int32_t dwData = 0;
  uint32_t cbData = 0;
  const void* lpData = nullptr;
};

// A window procedure. For WM_COPYDATA, wparam is the sender's handle and
// lparam points to a CopyDataStruct.
using WindowProc =
    std::function<int32_t(WindowHandle window, uint32_t msg, int32_t wparam, intptr_t lparam)>;

struct EndpointState;

// One hidden window: a socket with a title. Neither copyable nor movable.
class Endpoint {
 public:
  // Creates the socket and takes the title. Throws FileError when the
  // endpoint directory is unusable or the socket cannot be created.
  Endpoint(std::string_view title, WindowProc proc);
  ~Endpoint();
  Endpoint(const Endpoint&) = delete;
  Endpoint& operator=(const Endpoint&) = delete;

  WindowHandle handle() const;
  const std::string& title() const;
  // Takes the new title, away from any other endpoint that holds it; gives
  // up the old one. False when the title could not be published.
  bool setTitle(std::string_view title);

 private:
  std::unique_ptr<EndpointState> state_;
};

// The endpoint directory, created (mode 0700) when missing. Throws FileError
// when it cannot be created or is not a private directory of this user.
std::string endpointDirectory();
// The socket path of a handle in the current endpoint directory.
std::string endpointSocketPath(WindowHandle window);

// A message number in 0xC000..0xFFFF derived from the name (ignoring case),
// the same in every process.
uint32_t registerWindowMessage(std::string_view name);

// The live endpoint holding the title, or 0.
WindowHandle findWindow(std::string_view title);

// Sends a message and waits for its answer, handling this thread's incoming
// sent messages meanwhile. 0 when there is no such window, the window does
// not answer within the message timeout, or msg is WM_COPYDATA.
int32_t sendMessage(WindowHandle target, uint32_t msg, int32_t wparam, int32_t lparam);
// Sends WM_COPYDATA with the record (number, bytes); wparam is sender. 0 as
// sendMessage, and for more than kMaxCopyDataSize bytes.
int32_t sendCopyData(WindowHandle target, WindowHandle sender, int32_t number,
                     std::string_view bytes);
// Queues a message at the target without waiting for it to be handled. False
// when it could not be delivered (WM_COPYDATA cannot be posted).
bool postMessage(WindowHandle target, uint32_t msg, int32_t wparam, int32_t lparam);

// Handles every message that has arrived for this thread's endpoints. Returns
// true, leaving the quit request in place, when a quit has been posted;
// false when nothing is left to handle.
bool PumpMessages();
// Waits up to timeout for a message for this thread, handling arriving sent
// messages; true when posted messages or a quit are waiting.
bool waitMessage(std::chrono::milliseconds timeout);
void postQuitMessage(int exitCode);
// Takes the posted quit request of this thread, if any.
std::optional<int> takeQuitMessage();

// How long a call waits for a peer, and an endpoint for a frame to arrive
// whole. Process-wide; 2 seconds unless changed.
void setMessageTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds messageTimeout();

// Removes what dead processes left in the endpoint directory.
void removeStaleEndpoints();

}  // namespace platform
