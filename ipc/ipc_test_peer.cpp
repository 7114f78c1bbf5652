// The far end of the cross-process channel tests:
//
//   ipc_test_peer serve <id>        answers data blocks with number + size and
//                                   requests with the block "reply <code>";
//                                   data number -1 makes it quit
//   ipc_test_peer die-after-check <id>
//                                   answers the first link check, then dies
//                                   without cleaning up, as a crash would
//
// It prints "ready" once its window can be found, and never lives longer than
// ten seconds.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ipc/copy_data.h"
#include "platform/endpoint.h"

namespace {

void serve(ipc::TCopyData& channel) {
  channel.OnIncoming = [](ipc::TCopyData&, int32_t data, const void*, int32_t size) {
    if (data == -1) platform::postQuitMessage(0);
    return data + size;
  };
  channel.OnRequest = [](ipc::TCopyData& sender, uint16_t request) {
    const std::string reply = "reply " + std::to_string(request);
    return sender.SendData(request, reply.data(), static_cast<int32_t>(reply.size()));
  };
}

void dieAfterCheck(ipc::TCopyData& channel, bool& checked) {
  channel.OnMessage = [&checked, &channel](ipc::TMiniWin&, uint16_t msg, uint16_t, intptr_t) {
    if (msg == channel.CheckMessage()) checked = true;
    return 0;
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ipc_test_peer serve|die-after-check <id>\n");
    return 2;
  }
  const std::string mode = argv[1];
  ipc::TCopyData channel;
  channel.Logging = false;
  bool checked = false;
  if (mode == "serve") {
    serve(channel);
  } else {
    dieAfterCheck(channel, checked);
  }
  channel.SetID(static_cast<uint16_t>(std::atoi(argv[2])));
  std::printf("ready\n");
  std::fflush(stdout);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    platform::waitMessage(std::chrono::milliseconds(50));
    if (platform::PumpMessages()) break;
    if (checked) ::_exit(0);
  }
  return 0;
}
