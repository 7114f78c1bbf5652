// Helpers for the tests of Vantro's window: a program directory of its own
// and prompts that answer instead of a person.
#pragma once

#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config-ui/vantro_form.h"
#include "tests/support/test_support.h"

namespace vantro::testing {

class FakePrompts : public UserPrompts {
 public:
  void showError(const QString& message) override { errors.push_back(message.toStdString()); }
  WriteFailure askAfterWriteFailure(const QString& message) override {
    writeFailures.push_back(message.toStdString());
    return writeFailureAnswer;
  }
  std::optional<QStringList> chooseFiles(TOpenDialog&, QWidget*) override { return filesToChoose; }

  std::vector<std::string> errors;
  std::vector<std::string> writeFailures;
  WriteFailure writeFailureAnswer = WriteFailure::Discard;
  std::optional<QStringList> filesToChoose;
};

// A Vantro window whose program and current directories are temporary ones.
struct VantroRun {
  explicit VantroRun(const testing_support::TempDir& dir, std::vector<std::string> parameters = {},
                     bool start = true);

  std::string programDir;
  FakePrompts* prompts;  // owned by the form
  std::unique_ptr<TfrmVantro> form;
  int exitCode = -1;
};

// How long a test waits for something that happens at once on an idle
// machine. Only a failing test waits this long, so it is generous: a loaded
// machine or a sanitizer build may be slow by orders of magnitude.
inline constexpr std::chrono::milliseconds kPatience{20000};

// Runs the event loop until ready() holds; false when it still does not once
// patience has passed.
[[nodiscard]] bool waitUntil(const std::function<bool()>& ready,
                             std::chrono::milliseconds patience = kPatience);

// Runs the event loop until the window's start event (the language center's
// one-shot timer: interface languages, or the dump) has been handled.
[[nodiscard]] bool waitForStart(const TfrmVantro& form);

// Runs the event loop for a while, for checks that something does NOT
// happen (again); never use it to wait for something that should happen.
void processEvents(int milliseconds = 30);

}  // namespace vantro::testing
