#include "ipc/mini_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ipc/ipc_test_env.h"
#include "platform/endpoint.h"

namespace ipc {
namespace {

using MiniWin = ipc_testing::EndpointDirTest;

TEST_F(MiniWin, StartsUnnumberedWithTitleOne) {
  TMiniWin window;
  EXPECT_EQ(0, window.ID());
  EXPECT_EQ("Mobrisk MINI: #1", window.Title());
  EXPECT_EQ(window.Handle(), platform::findWindow("Mobrisk MINI: #1"));
}

TEST_F(MiniWin, SetIDRetitlesTheWindow) {
  TMiniWin window;
  window.SetID(65535);
  EXPECT_EQ(65535, window.ID());
  EXPECT_EQ(window.Handle(), platform::findWindow("Mobrisk MINI: #65535"));
  EXPECT_EQ(0, platform::findWindow("Mobrisk MINI: #1"));
}

TEST_F(MiniWin, FindFreeIDSkipsTakenNumbers) {
  // A fresh window holds title 1 itself, so the first free number is 2.
  TMiniWin first;
  EXPECT_EQ(2, first.FindFreeID());
  TMiniWin second;  // title 1 again
  TMiniWin third;
  third.SetID(3);
  EXPECT_EQ(4, second.FindFreeID());
  EXPECT_EQ(4, second.ID());
  TMiniWin fourth;
  fourth.SetID(9);  // gives title 1 up: no window holds it now
  EXPECT_EQ(1, fourth.FindFreeID());
}

TEST_F(MiniWin, MessagesReachTheOwningObjectAs16BitValues) {
  struct Seen {
    const TMiniWin* sender = nullptr;
    uint16_t msg = 0, wparam = 0;
    intptr_t lparam = 0;
  };
  std::vector<Seen> seen;
  auto record = [&seen](TMiniWin& sender, uint16_t msg, uint16_t wparam, intptr_t lparam) {
    seen.push_back({&sender, msg, wparam, lparam});
    return static_cast<int32_t>(seen.size()) * 10;
  };
  TMiniWin a;
  TMiniWin b;
  a.OnMessage = record;
  b.OnMessage = record;
  EXPECT_EQ(10, platform::sendMessage(b.Handle(), 0x1C123, 0x12345, -8));
  EXPECT_EQ(20, platform::sendMessage(a.Handle(), 0xC001, 2, 3));
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ(&b, seen[0].sender);
  EXPECT_EQ(0xC123, seen[0].msg);
  EXPECT_EQ(0x2345, seen[0].wparam);
  EXPECT_EQ(-8, seen[0].lparam);
  EXPECT_EQ(&a, seen[1].sender);
}

TEST_F(MiniWin, WithoutOnMessageTheAnswerIsZero) {
  TMiniWin window;
  EXPECT_EQ(0, platform::sendMessage(window.Handle(), 0xC001, 0, 0));
}

TEST_F(MiniWin, DestroyedWindowIsGone) {
  auto window = std::make_unique<TMiniWin>();
  window->SetID(5);
  const auto handle = window->Handle();
  window.reset();
  EXPECT_EQ(0, platform::findWindow("Mobrisk MINI: #5"));
  EXPECT_EQ(0, platform::sendMessage(handle, 0xC001, 0, 0));
}

TEST_F(MiniWin, LongTitlesAreCutTo128Characters) {
  struct LongTitled : TMiniWin {
    std::string WindowTitle(uint32_t number) const override {
      return std::string(200, 'x') + std::to_string(number);
    }
  } window;
  window.SetID(7);
  EXPECT_EQ(std::string(128, 'x'), window.Title());
}

}  // namespace
}  // namespace ipc
