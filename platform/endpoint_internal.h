// Internals shared by endpoint.cpp (directory, names, endpoints) and
// endpoint_io.cpp (frames, calls and the message pump).
#pragma once

#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/endpoint.h"
#include "platform/unique_fd.h"

namespace platform {
namespace endpoint_detail {

using platform::UniqueFd;

using Clock = std::chrono::steady_clock;

// A connection accepted by an endpoint whose frame has not fully arrived.
struct Incoming {
  UniqueFd fd;
  std::string buffer;
  Clock::time_point deadline;
};

enum class ConnectResult { Connected, Busy, NoEndpoint };

// Connects without blocking. A socket that refuses (its listener is gone) is
// removed. Busy means the listener's backlog is full.
ConnectResult connectSocket(const std::string& path, UniqueFd& fd);
// The peer of a connected socket runs as this process's effective user.
bool peerIsSameUser(int fd);

// The calling thread's live endpoints, in creation order.
std::vector<EndpointState*> threadEndpoints();
// The window procedure of the calling thread's endpoint, or an empty one.
WindowProc threadEndpointProc(WindowHandle window);

}  // namespace endpoint_detail

struct EndpointState {
  WindowHandle handle = 0;
  std::string directory;
  std::string socketName;  // w<hex>
  std::string title;
  std::string titleLink;  // path of our title link; empty while unpublished
  endpoint_detail::UniqueFd listener;
  WindowProc proc;
  std::thread::id owner;
  std::vector<endpoint_detail::Incoming> incoming;
};

}  // namespace platform
