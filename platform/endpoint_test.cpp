#include "platform/endpoint.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/endpoint_internal.h"
#include "platform/files.h"
#include "tests/support/test_support.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using endpoint_detail::UniqueFd;
using testing_support::TempDir;

// Every test gets its own endpoint directory and a short message timeout.
class EndpointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("KORVEX_ENDPOINT_DIR", dir_.path().c_str(), 1);
    setMessageTimeout(300ms);
    takeQuitMessage();
  }
  void TearDown() override {
    ::unsetenv("KORVEX_ENDPOINT_DIR");
    setMessageTimeout(2000ms);
  }
  TempDir dir_;
};

struct Received {
  uint32_t msg = 0;
  int32_t wparam = 0;
  intptr_t lparam = 0;
  int calls = 0;
};

// A window procedure that records its last message and answers with 42.
WindowProc recorder(Received& received) {
  return [&received](WindowHandle, uint32_t msg, int32_t wparam, intptr_t lparam) {
    received = {msg, wparam, lparam, received.calls + 1};
    return 42;
  };
}

std::string le32(uint32_t value) {
  std::string out;
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xff);
  return out;
}

std::string frame(uint32_t kind, uint32_t msg, uint32_t size, std::string_view data = {}) {
  return "KMW1" + le32(kind) + le32(msg) + le32(7) /* wparam */ + le32(9) /* lparam */ +
         le32(size) + std::string(data);
}

UniqueFd rawConnect(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fd.reset();
  return fd;
}

UniqueFd rawListener(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), 8) != 0) {
    fd.reset();
  }
  return fd;
}

TEST_F(EndpointTest, DirectoryIsCreatedPrivate) {
  const std::string wanted = dir_.file("sub");
  ::setenv("KORVEX_ENDPOINT_DIR", wanted.c_str(), 1);
  EXPECT_EQ(wanted, endpointDirectory());
  struct stat info;
  ASSERT_EQ(0, ::lstat(wanted.c_str(), &info));
  EXPECT_EQ(0700u, info.st_mode & 0777);
}

TEST_F(EndpointTest, DirectoryOthersCouldUseIsRefused) {
  const std::string open = dir_.file("open");
  ::mkdir(open.c_str(), 0700);
  ::chmod(open.c_str(), 0755);
  const std::string link = dir_.file("link");
  ASSERT_EQ(0, ::symlink(dir_.path().c_str(), link.c_str()));
  const std::string file = dir_.write("file", "x");
  for (const std::string& path : {open, link, file}) {
    SCOPED_TRACE(path);
    ::setenv("KORVEX_ENDPOINT_DIR", path.c_str(), 1);
    EXPECT_THROW_MSG(
        endpointDirectory(), FileError,
        "cannot use endpoint directory " + path + ": not a private directory of this user");
    EXPECT_THROW(Endpoint("x", {}), FileError);
    EXPECT_EQ(0, findWindow("x"));
  }
}

TEST_F(EndpointTest, RegisteredMessagesAreStableNumbersInTheRegisteredRange) {
  // Pinned: processes built at different times must agree on them.
  EXPECT_EQ(registerWindowMessage("Mobrisk.CopyData"), registerWindowMessage("MOBRISK.copydata"));
  const uint32_t check = registerWindowMessage("Mobrisk.CopyData");
  const uint32_t request = registerWindowMessage("Mobrisk.CopyData.Request");
  const uint32_t here = registerWindowMessage("Mobrisk.CopyData.Here");
  for (uint32_t number : {check, request, here}) {
    EXPECT_GE(number, 0xC000u);
    EXPECT_LE(number, 0xFFFFu);
  }
  EXPECT_NE(check, request);
  EXPECT_NE(check, here);
  EXPECT_NE(request, here);
  EXPECT_EQ(0xC491u, check);  // FNV-1a of "MOBRISK.COPYDATA", folded
}

TEST_F(EndpointTest, WindowsAreFoundByTheirCurrentTitle) {
  Received received;
  const std::string odd = "a/b%c " + std::string(300, 'x');
  auto endpoint = std::make_unique<Endpoint>("First", recorder(received));
  EXPECT_EQ(endpoint->handle(), findWindow("First"));
  EXPECT_EQ(0, findWindow("first"));
  EXPECT_TRUE(endpoint->setTitle(odd));
  EXPECT_EQ(0, findWindow("First"));
  EXPECT_EQ(endpoint->handle(), findWindow(odd));
  endpoint.reset();
  EXPECT_EQ(0, findWindow(odd));
  EXPECT_EQ(0, received.calls);  // looking a window up sends it nothing
}

TEST_F(EndpointTest, ASharedTitlePassesToTheRemainingHolder) {
  Endpoint first("Same", {});
  auto second = std::make_unique<Endpoint>("Same", WindowProc{});
  EXPECT_EQ(second->handle(), findWindow("Same"));
  second.reset();
  EXPECT_EQ(first.handle(), findWindow("Same"));
}

TEST_F(EndpointTest, SentMessageIsAnswered) {
  Received received;
  Endpoint endpoint("Target", recorder(received));
  EXPECT_EQ(42, sendMessage(endpoint.handle(), 0xC123, -5, 77));
  EXPECT_EQ(1, received.calls);
  EXPECT_EQ(0xC123u, received.msg);
  EXPECT_EQ(-5, received.wparam);
  EXPECT_EQ(77, received.lparam);
}

TEST_F(EndpointTest, PostedMessageWaitsForThePump) {
  Received received;
  Endpoint endpoint("Target", recorder(received));
  EXPECT_TRUE(postMessage(endpoint.handle(), 0xC001, 1, 2));
  EXPECT_EQ(0, received.calls);
  EXPECT_FALSE(PumpMessages());
  EXPECT_EQ(1, received.calls);
  EXPECT_EQ(0xC001u, received.msg);
  EXPECT_FALSE(PumpMessages());
  EXPECT_EQ(1, received.calls);
}

TEST_F(EndpointTest, CopyDataCarriesNumberBytesAndSender) {
  struct Case {
    std::string bytes;
    const char* why;
  } cases[] = {
      {"", "no bytes: the record has no pointer"},
      {std::string("a\0b", 3), "zero bytes are data too"},
      {std::string(3 * 1024 * 1024, 'z'), "more than a socket buffer holds"},
  };
  Endpoint sender("Sender", {});
  std::string got;
  int32_t number = 0;
  int32_t from = 0;
  bool nullPointer = false;
  Endpoint target("Target", [&](WindowHandle, uint32_t msg, int32_t wparam, intptr_t lparam) {
    EXPECT_EQ(WM_COPYDATA, msg);
    const auto* record = reinterpret_cast<const CopyDataStruct*>(lparam);
    nullPointer = record->lpData == nullptr;
    got.assign(static_cast<const char*>(record->lpData ? record->lpData : ""), record->cbData);
    number = record->dwData;
    from = wparam;
    return 5;
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(5, sendCopyData(target.handle(), sender.handle(), -3, c.bytes));
    EXPECT_EQ(c.bytes, got);
    EXPECT_EQ(c.bytes.empty(), nullPointer);
    EXPECT_EQ(-3, number);
    EXPECT_EQ(sender.handle(), from);
  }
}

TEST_F(EndpointTest, CopyDataCannotBePostedOrSentAsAPlainMessage) {
  Received received;
  Endpoint endpoint("Target", recorder(received));
  EXPECT_FALSE(postMessage(endpoint.handle(), WM_COPYDATA, 0, 0));
  EXPECT_EQ(0, sendMessage(endpoint.handle(), WM_COPYDATA, 0, 0));
  PumpMessages();
  EXPECT_EQ(0, received.calls);
}

TEST_F(EndpointTest, NoWindowGivesZeroAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, findWindow("Nobody"));
  EXPECT_EQ(0, sendMessage(0, 0xC000, 0, 0));
  EXPECT_EQ(0, sendMessage(0x1234, 0xC000, 0, 0));
  EXPECT_FALSE(postMessage(0x1234, 0xC000, 0, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

TEST_F(EndpointTest, SocketOfADeadProcessCountsAsNoWindowAndIsRemoved) {
  const std::string socket = dir_.file("w00001234");
  const std::string link = dir_.file("t.Gone");
  rawListener(socket);  // closed at once, the file stays, as after a crash
  ASSERT_EQ(0, ::symlink("w00001234", link.c_str()));
  EXPECT_EQ(0, findWindow("Gone"));
  EXPECT_FALSE(fileExists(socket));
  struct stat info;
  EXPECT_NE(0, ::lstat(link.c_str(), &info));

  rawListener(socket);
  EXPECT_EQ(0, sendMessage(0x1234, 0xC000, 0, 0));
  EXPECT_FALSE(fileExists(socket));
}

TEST_F(EndpointTest, MalformedFramesAreDroppedAndTheEndpointStillWorks) {
  struct Case {
    std::string bytes;
    const char* why;
  } cases[] = {
      {"garbage that is not a frame at all", "wrong magic"},
      {frame(9, 0xC000, 0), "unknown kind"},
      {frame(3, 0xC000, 0), "an answer sent to an endpoint"},
      {frame(1, WM_COPYDATA, 0xFFFFFFFF), "absurd length"},
      {frame(1, WM_COPYDATA, kMaxCopyDataSize + 1), "one byte too long"},
      {frame(1, 0xC000, 4, "abcd"), "data on a plain message"},
      {frame(2, WM_COPYDATA, 0), "posted copy data"},
      {frame(1, 0xC000, 0).substr(0, 10), "peer vanishes inside the header"},
      {frame(1, WM_COPYDATA, 100, "only ten b"), "peer vanishes inside the data"},
  };
  Received received;
  Endpoint endpoint("Target", recorder(received));
  const std::string path = endpointSocketPath(endpoint.handle());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    UniqueFd peer = rawConnect(path);
    ASSERT_TRUE(peer);
    ASSERT_EQ(static_cast<ssize_t>(c.bytes.size()),
              ::send(peer.get(), c.bytes.data(), c.bytes.size(), MSG_NOSIGNAL));
    peer.reset();
    EXPECT_FALSE(PumpMessages());
    EXPECT_EQ(0, received.calls);
  }
  EXPECT_EQ(42, sendMessage(endpoint.handle(), 0xC000, 0, 0));
}

TEST_F(EndpointTest, SilentPeerNeitherBlocksThePumpNorStaysForever) {
  Received received;
  Endpoint endpoint("Target", recorder(received));
  UniqueFd peer = rawConnect(endpointSocketPath(endpoint.handle()));
  const std::string half = frame(1, 0xC000, 0).substr(0, 12);
  ::send(peer.get(), half.data(), half.size(), MSG_NOSIGNAL);
  const auto start = std::chrono::steady_clock::now();
  PumpMessages();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
  std::this_thread::sleep_for(400ms);  // past the message timeout
  PumpMessages();
  char byte;
  EXPECT_EQ(0, ::recv(peer.get(), &byte, 1, 0));  // the endpoint hung up
  EXPECT_EQ(0, received.calls);
}

TEST_F(EndpointTest, PeerThatNeverAnswersCostsOneTimeout) {
  UniqueFd listener = rawListener(dir_.file("w00000abc"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, sendMessage(0xabc, 0xC000, 0, 0));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 250ms);
  EXPECT_LT(elapsed, 1500ms);
}

TEST_F(EndpointTest, PeerThatVanishesOrAnswersGarbageGivesZero) {
  struct Case {
    std::string answer;
    const char* why;
  } cases[] = {
      {"", "hangs up without answering"},
      {frame(3, 0, 0).substr(0, 9), "hangs up inside the answer"},
      {frame(1, 0, 0), "answers with a request"},
      {"XXXX" + frame(3, 0, 0).substr(4), "wrong magic"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    UniqueFd listener = rawListener(dir_.file("w00000abc"));
    std::thread peer([&] {
      UniqueFd connection(::accept(listener.get(), nullptr, nullptr));
      char request[24];
      ::recv(connection.get(), request, sizeof request, MSG_WAITALL);
      ::send(connection.get(), c.answer.data(), c.answer.size(), MSG_NOSIGNAL);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, sendMessage(0xabc, 0xC000, 0, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    peer.join();
    ::unlink(dir_.file("w00000abc").c_str());
  }
}

TEST_F(EndpointTest, ThreadsSendingToEachOtherAtOnceDoNotDeadlock) {
  // Each side handles the other's message while it waits for its own answer.
  setMessageTimeout(5000ms);
  Endpoint mine("Mine", [](WindowHandle, uint32_t, int32_t, intptr_t) { return 1; });
  std::atomic<WindowHandle> theirs{0};
  std::atomic<bool> go{false};
  int32_t theirAnswer = 0;
  std::thread other([&] {
    Endpoint endpoint("Theirs", [](WindowHandle, uint32_t, int32_t, intptr_t) { return 2; });
    theirs = endpoint.handle();
    while (!go) std::this_thread::yield();
    theirAnswer = sendMessage(mine.handle(), 0xC000, 0, 0);
    // Stay reachable until the main thread has its answer too.
    while (go) waitMessage(10ms);
  });
  while (theirs == 0) std::this_thread::yield();
  go = true;
  EXPECT_EQ(2, sendMessage(theirs, 0xC000, 0, 0));
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (theirAnswer == 0 && std::chrono::steady_clock::now() < end) waitMessage(10ms);
  go = false;
  other.join();
  EXPECT_EQ(1, theirAnswer);
}

TEST_F(EndpointTest, QuitStaysPostedUntilTaken) {
  Received received;
  Endpoint endpoint("Target", recorder(received));
  postMessage(endpoint.handle(), 0xC000, 0, 0);
  postQuitMessage(3);
  EXPECT_TRUE(PumpMessages());
  EXPECT_EQ(1, received.calls);  // messages ahead of the quit are handled
  EXPECT_TRUE(PumpMessages());
  EXPECT_TRUE(waitMessage(0ms));
  EXPECT_EQ(3, takeQuitMessage());
  EXPECT_FALSE(PumpMessages());
  EXPECT_EQ(std::nullopt, takeQuitMessage());
}

TEST_F(EndpointTest, StaleEntriesAreSweptAndLiveOnesKept) {
  Endpoint live("Live", {});
  rawListener(dir_.file("w00000def"));
  ::symlink("w00000def", dir_.file("t.Dead").c_str());
  ::symlink("w00000999", dir_.file("l.00000999").c_str());
  dir_.write("b.999999999.1", "");
  dir_.write("unrelated", "");
  removeStaleEndpoints();
  EXPECT_EQ(live.handle(), findWindow("Live"));
  for (const char* name : {"w00000def", "t.Dead", "l.00000999", "b.999999999.1"}) {
    struct stat info;
    EXPECT_NE(0, ::lstat(dir_.file(name).c_str(), &info)) << name;
  }
  EXPECT_TRUE(fileExists(dir_.file("unrelated")));
}

// Runs body in a child process as the user "nobody"; its exit status.
template <typename Body>
int runAsOtherUser(Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(EndpointTest, AnotherUsersSocketIsNeverTrusted) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  Received received;
  Endpoint endpoint("Target", recorder(received));
  const std::string path = endpointSocketPath(endpoint.handle());
  // Open the doors that the directory's mode normally keeps shut.
  ::chmod(dir_.path().c_str(), 0777);
  ::chmod(path.c_str(), 0777);
  const std::string message = frame(1, 0xC000, 0);
  EXPECT_EQ(0, runAsOtherUser([&] {
              UniqueFd fd = rawConnect(path);
              if (!fd) return 1;
              const auto sent = ::send(fd.get(), message.data(), message.size(), MSG_NOSIGNAL);
              return sent == static_cast<ssize_t>(message.size()) ? 0 : 2;
            }));
  PumpMessages();
  EXPECT_EQ(0, received.calls);

  const std::string foreign = dir_.file("w00000f00");
  ::symlink("w00000f00", dir_.file("t.Foreign").c_str());
  int ready[2];
  ASSERT_EQ(0, ::pipe(ready));
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    UniqueFd listener = rawListener(foreign);
    [[maybe_unused]] const ssize_t wrote = ::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char byte;
  ASSERT_EQ(1, ::read(ready[0], &byte, 1));
  ::chmod(dir_.path().c_str(), 0700);
  EXPECT_EQ(0, findWindow("Foreign"));
  EXPECT_EQ(0, sendMessage(0xf00, 0xC000, 0, 0));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace platform
