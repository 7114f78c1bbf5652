#include "config-ui/vantro_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <filesystem>

#include "config-ui/form_language_center.h"

namespace vantro::testing {

VantroRun::VantroRun(const testing_support::TempDir& dir, std::vector<std::string> parameters,
                     bool start)
    : programDir(dir.path() + "/bin/") {
  std::filesystem::create_directories(programDir);
  std::filesystem::create_directories(dir.path() + "/work");
  auto fake = std::make_unique<FakePrompts>();
  prompts = fake.get();
  form = std::make_unique<TfrmVantro>(
      VantroSetup{programDir, dir.path() + "/work", std::move(parameters)}, std::move(fake));
  form->Terminate = [this](int code) { exitCode = code; };
  if (start) form->FormCreate();
}

bool waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds patience) {
  return QTest::qWaitFor(ready, static_cast<int>(patience.count()));
}

bool waitForStart(const TfrmVantro& form) {
  return waitUntil([&form] { return !form.appLang->startTimerActive(); });
}

void processEvents(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QTest::qSleep(1);
  } while (timer.elapsed() < milliseconds);
}

}  // namespace vantro::testing
