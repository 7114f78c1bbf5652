// The fixture of the ipc tests: a private endpoint directory per test, a short
// message timeout, no trace link left over.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "ipc/trace_link.h"
#include "platform/endpoint.h"
#include "tests/support/test_support.h"

namespace ipc_testing {

class EndpointDirTest : public ::testing::Test {
 protected:
  // Set up in the constructor, so that members of derived fixtures already
  // live in the test's directory.
  EndpointDirTest() {
    ::setenv("KORVEX_ENDPOINT_DIR", dir_.path().c_str(), 1);
    platform::setMessageTimeout(std::chrono::milliseconds(1000));
    platform::takeQuitMessage();
  }
  ~EndpointDirTest() override {
    ipc::StopTraceLink();
    platform::takeQuitMessage();
    ::unsetenv("KORVEX_ENDPOINT_DIR");
    platform::setMessageTimeout(std::chrono::milliseconds(2000));
  }
  testing_support::TempDir dir_;
};

}  // namespace ipc_testing
