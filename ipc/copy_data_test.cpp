#include "ipc/copy_data.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <set>

#include "ipc/ipc_test_env.h"
#include "ipc/test_child.h"
#include "ipc/trace_link.h"
#include "ipc/trace_record.h"

namespace ipc {
namespace {

using namespace std::chrono_literals;
using CopyData = ipc_testing::EndpointDirTest;

std::string bytesOf(const void* pointer, int32_t size) {
  return pointer ? std::string(static_cast<const char*>(pointer), static_cast<size_t>(size))
                 : std::string();
}

// Two quiet channels, 1 and 2, each aiming at the other.
struct Pair {
  Pair() {
    a.Logging = b.Logging = false;
    a.SetID(1);
    b.SetID(2);
    a.TargetID = 2;
    b.TargetID = 1;
  }
  TCopyData a;
  TCopyData b;
};

TEST_F(CopyData, StartsUnlinkedWithTargetOne) {
  TCopyData channel;
  EXPECT_EQ("Mobrisk CopyData: #1", channel.Title());
  EXPECT_EQ(1, channel.TargetID);
  EXPECT_EQ(0, channel.Target);
  EXPECT_TRUE(channel.Logging);
  EXPECT_FALSE(channel.Received);
}

TEST_F(CopyData, LocateTargetFindsAndChecksThePeer) {
  Pair pair;
  EXPECT_TRUE(pair.a.LocateTarget());
  EXPECT_EQ(pair.b.Handle(), pair.a.Target);
  EXPECT_TRUE(pair.a.IsLinked());
}

TEST_F(CopyData, WithoutAPeerNothingIsLinkedOrSent) {
  TCopyData channel;
  channel.Logging = false;
  channel.TargetID = 77;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(channel.LocateTarget());
  EXPECT_EQ(0, channel.Target);
  EXPECT_FALSE(channel.IsLinked());
  EXPECT_FALSE(channel.Request(1, true));
  EXPECT_EQ(0, channel.SendData(1, "x", 1));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

TEST_F(CopyData, ACheckIsAnsweredOnlyForTheOwnNumber) {
  Pair pair;
  const uint32_t check = pair.b.CheckMessage();
  EXPECT_EQ(2, platform::sendMessage(pair.b.Handle(), check, 2, 0));
  EXPECT_EQ(0, platform::sendMessage(pair.b.Handle(), check, 3, 0));
  pair.b.OnMessage = [](TMiniWin&, uint16_t, uint16_t, intptr_t) { return 5; };
  EXPECT_EQ(5, platform::sendMessage(pair.b.Handle(), check, 3, 0));  // the inherited answer
  EXPECT_EQ(2, platform::sendMessage(pair.b.Handle(), check, 2, 0));
}

TEST_F(CopyData, AWindowWithTheTitleThatFailsTheCheckIsNoTarget) {
  struct Impostor : TMiniWin {
    std::string WindowTitle(uint32_t number) const override { return CopyDataTitle(number); }
  } impostor;
  impostor.SetID(2);
  TCopyData channel;
  channel.Logging = false;
  channel.TargetID = 2;
  EXPECT_FALSE(channel.LocateTarget());
  EXPECT_EQ(0, channel.Target);
}

TEST_F(CopyData, DataBlockArrivesWithNumberAndBytes) {
  Pair pair;
  std::string got = "untouched";
  int32_t number = 0;
  pair.b.OnIncoming = [&](TCopyData&, int32_t data, const void* pointer, int32_t size) {
    got = bytesOf(pointer, size);
    number = data;
    return 7;
  };
  ASSERT_TRUE(pair.a.LocateTarget());
  EXPECT_EQ(7, pair.a.SendData(5, "hello", 5));
  EXPECT_EQ("hello", got);
  EXPECT_EQ(5, number);
  EXPECT_TRUE(pair.b.Received);
  EXPECT_EQ(7, pair.a.SendData(6, nullptr, 10));  // no pointer: no bytes
  EXPECT_EQ("", got);
}

TEST_F(CopyData, OnIncomingOverridesTheDoIncomingHook) {
  struct Hooked : TCopyData {
    int32_t DoIncoming(int32_t data, const void*, int32_t size) override { return data + size; }
  } hooked;
  hooked.Logging = false;
  hooked.SetID(2);
  TCopyData sender;
  sender.Logging = false;
  sender.TargetID = 2;
  ASSERT_TRUE(sender.LocateTarget());
  EXPECT_EQ(13, sender.SendData(10, "abc", 3));
  hooked.OnIncoming = [](TCopyData&, int32_t, const void*, int32_t) { return -1; };
  EXPECT_EQ(-1, sender.SendData(10, "abc", 3));
}

TEST_F(CopyData, StreamsTravelWholeAndAreRewound) {
  Pair pair;
  platform::TMessageStream received;
  pair.b.OnIncoming = [&](TCopyData& self, int32_t, const void* pointer, int32_t size) {
    self.LoadStream(received, pointer, size);
    return 0;
  };
  ASSERT_TRUE(pair.a.LocateTarget());
  platform::TMessageStream sent;
  sent.WriteString("text");
  sent.WriteInteger(-9);
  pair.a.SendStream(3, sent);
  EXPECT_EQ(0u, sent.Position());
  EXPECT_EQ(0u, received.Position());
  EXPECT_EQ("text", received.ReadString());
  EXPECT_EQ(-9, received.ReadInteger());
}

TEST_F(CopyData, LoadStreamWithoutBytesLeavesAnEmptyStream) {
  struct Case {
    const void* pointer;
    int32_t size;
    const char* why;
  } cases[] = {
      {nullptr, 4, "no pointer"},
      {"abcd", 0, "size 0"},
      {"abcd", -4, "negative size"},
  };
  TCopyData channel;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    platform::TMessageStream stream(std::string("old"));
    channel.LoadStream(stream, c.pointer, c.size);
    EXPECT_EQ(0u, stream.Size());
  }
}

TEST_F(CopyData, RequestWithWaitIsAnsweredByThePeersOnRequest) {
  Pair pair;
  pair.b.OnRequest = [](TCopyData& self, uint16_t request) {
    const std::string reply = "reply " + std::to_string(request);
    return self.SendData(request, reply.data(), static_cast<int32_t>(reply.size()));
  };
  std::string got;
  pair.a.OnIncoming = [&](TCopyData&, int32_t, const void* pointer, int32_t size) {
    got = bytesOf(pointer, size);
    return 0;
  };
  ASSERT_TRUE(pair.a.LocateTarget());
  EXPECT_TRUE(pair.a.Request(9, true));
  EXPECT_TRUE(pair.a.Received);
  EXPECT_EQ("reply 9", got);
  EXPECT_EQ(pair.a.Handle(), pair.b.Target);  // the request told the peer who asked
}

TEST_F(CopyData, RequestWithoutWaitReturnsAfterOnePass) {
  Pair pair;  // b has no OnRequest: no answer ever comes
  ASSERT_TRUE(pair.a.LocateTarget());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(pair.a.Request(9, false));
  EXPECT_FALSE(pair.a.Received);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
}

TEST_F(CopyData, RequestWaitsNoLongerThanTheMessageTimeoutOrAQuit) {
  Pair pair;
  ASSERT_TRUE(pair.a.LocateTarget());
  platform::setMessageTimeout(200ms);
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(pair.a.Request(9, true));
  EXPECT_FALSE(pair.a.Received);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

  platform::postQuitMessage(4);
  start = std::chrono::steady_clock::now();
  EXPECT_TRUE(pair.a.Request(9, true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_EQ(4, platform::takeQuitMessage());  // still there for the main loop
}

TEST_F(CopyData, LoggingChannelsTraceTheirConnectionEvents) {
  TCopyData monitor;
  monitor.Logging = false;
  monitor.SetID(kTraceMonitorID);
  std::vector<TraceRecord> records;
  monitor.OnIncoming = [&](TCopyData&, int32_t, const void* pointer, int32_t size) {
    records.push_back(DecodeTraceRecord(bytesOf(pointer, size)));
    return 0;
  };
  StartTraceLink("/opt/bin/tool");
  Pair pair;
  pair.a.Logging = pair.b.Logging = true;
  records.clear();
  pair.a.LocateTarget();
  pair.a.SendData(4, "x", 1);
  pair.a.Request(6, false);
  struct Expected {
    int32_t kind;
    const char* text;
  } expected[] = {
      {2, "1 Location 2"},      {3, "Target Located: TRUE (2)"}, {2, "1 sending to 2 (4)"},
      {2, "Received Data (2)"}, {2, "1 requesting from 2 (6)"},  {4, "1 linked to 2 (TRUE)"},
  };
  ASSERT_EQ(std::size(expected), records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(expected[i].text);
    EXPECT_EQ(expected[i].text, records[i].Text);
    EXPECT_EQ(expected[i].kind, records[i].Kind);
    EXPECT_EQ("TCopyData", records[i].Source);
    EXPECT_EQ("Connection", records[i].Category);
    EXPECT_EQ("tool", records[i].Program);
  }
}

// The channel's other end runs in a process of its own.
class CopyDataAcrossProcesses : public ipc_testing::EndpointDirTest {
 protected:
  std::unique_ptr<ipc_testing::TestChild> startPeer(const char* mode) {
    auto peer = std::make_unique<ipc_testing::TestChild>(
        std::vector<std::string>{IPC_TEST_PEER, mode, "2"});
    EXPECT_EQ("ready", peer->readLine(5s).value_or("(no answer)"));
    channel_.Logging = false;
    channel_.SetID(1);
    channel_.TargetID = 2;
    return peer;
  }
  std::set<std::string> directoryEntries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  TCopyData channel_;
};

TEST_F(CopyDataAcrossProcesses, LocateSendAndRequest) {
  auto peer = startPeer("serve");
  ASSERT_TRUE(channel_.LocateTarget());
  EXPECT_TRUE(channel_.IsLinked());
  EXPECT_EQ(0, platform::sendMessage(channel_.Target, channel_.CheckMessage(), 3, 0));
  EXPECT_EQ(14, channel_.SendData(10, "abcd", 4));
  std::string got;
  channel_.OnIncoming = [&](TCopyData&, int32_t, const void* pointer, int32_t size) {
    got = bytesOf(pointer, size);
    return 0;
  };
  EXPECT_TRUE(channel_.Request(3, true));
  EXPECT_TRUE(channel_.Received);
  EXPECT_EQ("reply 3", got);
  channel_.SendData(-1, nullptr, 0);  // tells the peer to quit
  EXPECT_EQ(0, peer->wait(5s));
  EXPECT_FALSE(channel_.IsLinked());
}

TEST_F(CopyDataAcrossProcesses, PeerThatDiesAfterTheCheck) {
  auto peer = startPeer("die-after-check");
  ASSERT_TRUE(channel_.LocateTarget());
  EXPECT_EQ(0, peer->wait(5s));
  EXPECT_FALSE(channel_.IsLinked());
  EXPECT_EQ(0, channel_.SendData(1, "x", 1));
  EXPECT_FALSE(channel_.LocateTarget());
}

TEST_F(CopyDataAcrossProcesses, SocketOfAKilledPeerIsNoWindowAndIsCleanedUp) {
  auto peer = startPeer("serve");
  peer->signal(SIGKILL);
  EXPECT_EQ(128 + SIGKILL, peer->wait(5s));
  EXPECT_EQ(4u, directoryEntries().size());  // both sockets and both title links
  EXPECT_FALSE(channel_.LocateTarget());
  const std::set<std::string> left = directoryEntries();
  EXPECT_EQ(2u, left.size());
  EXPECT_TRUE(left.contains("t.Mobrisk CopyData: #1"));
}

}  // namespace
}  // namespace ipc
