// Helpers for the tests of Vantro's window: a program directory of its own
// and prompts that answer instead of a person.
#pragma once

#include <QStringList>
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

// Lets queued events and the start timer run.
void processEvents(int milliseconds = 30);

}  // namespace vantro::testing
