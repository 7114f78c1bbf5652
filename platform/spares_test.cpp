#include "platform/spares.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

namespace platform {
namespace {

// A spare given back by another thread is taken again only by the thread it
// came from, once; a thread that gave none back gets none.
TEST(Spares, GoBackToTheThreadThatMadeThem) {
  Spares<std::string> spares;
  const std::thread::id home = std::this_thread::get_id();
  std::optional<std::string> takenElsewhere = std::string("not asked");
  std::thread other([&] {
    spares.giveBack("made at home", home);
    takenElsewhere = spares.take();
  });
  other.join();
  EXPECT_EQ(takenElsewhere, std::nullopt);
  EXPECT_EQ(spares.take(), std::optional<std::string>("made at home"));
  EXPECT_EQ(spares.take(), std::nullopt);
}

}  // namespace
}  // namespace platform
