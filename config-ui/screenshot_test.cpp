// Writes pictures of the three pages, in English and in German, into the
// build directory (screenshots/), so the layout can be looked at.
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QPixmap>
#include <filesystem>

#include "config-ui/controls.h"
#include "config-ui/vantro_test_support.h"
#include "platform/files.h"

namespace vantro::testing {
namespace {

std::string screenshotDir() {
  return platform::programDirectory() + "../screenshots/";
}

// The status bar shows the hint of the control the mouse rests on.
void hover(QWidget* widget) {
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(widget, &enter);
}

void leave(QWidget* widget) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget, &leave);
}

void grabPages(const testing_support::TempDir& dir, const std::string& language) {
  VantroRun run(dir);
  TfrmVantro& form = *run.form;
  form.show();
  ASSERT_TRUE(waitForStart(form));
  if (language != "english") {
    form.cmbUILangs->setText(QString::fromStdString(language));
    form.changeInterfaceLanguage();
  }
  form.addFiles({"/home/user/project/Main.pas", "/home/user/project/Units/Shapes.pas"});
  TTabSheet* pages[] = {form.tbsFiles, form.tbsGeneral, form.tbsFirstLine};
  QWidget* hovered[] = {form.lsbFileList, form.checkBox("LinkSearchInUnitComment"),
                        form.tbsFirstLine};
  const char* names[] = {"files", "general", "firstline"};
  for (int i = 0; i < 3; ++i) {
    form.pgcPages->setActivePage(pages[i]);
    if (i > 0) leave(hovered[i - 1]);
    hover(hovered[i]);
    processEvents();
    std::string path = screenshotDir() + "vantro-" + language + "-" + names[i] + ".png";
    ASSERT_TRUE(form.grab().save(QString::fromStdString(path))) << path;
  }
  form.hide();
}

TEST(Screenshots, ThreePagesInEnglishAndGerman) {
  QDir().mkpath(QString::fromStdString(screenshotDir()));
  testing_support::TempDir dir;
  grabPages(dir, "english");
  std::string german = platform::programDirectory() + "German.lnf";
  ASSERT_TRUE(platform::fileExists(german)) << "German.lnf is built beside the programs";
  std::filesystem::copy_file(german, dir.path() + "/bin/German.lnf");
  grabPages(dir, "Deutsch");
}

}  // namespace
}  // namespace vantro::testing
