// vantro: edits a Korvex project configuration file.
//
//   vantro [ProjectFile]   edit ProjectFile (default: KORVEX.INI in the
//                          current directory)
//   vantro DUMP            write Vantro.lnf and Vantro.lpf beside the program
#include <QApplication>

#include "config-ui/vantro_form.h"
#include "ipc/trace_link.h"
#include "platform/files.h"

int main(int argc, char* argv[]) {
  // Announces the start to a trace monitor when one runs, and the stop when
  // main returns; silent otherwise.
  const ipc::TraceSession trace(argc > 0 ? argv[0] : "vantro");
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KORVEX Configuration Utility"));

  vantro::VantroSetup setup;
  setup.programDirectory = platform::programDirectory();
  setup.currentDirectory = platform::currentDirectory();
  QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i)
    setup.parameters.push_back(arguments[i].toLocal8Bit().toStdString());

  vantro::TfrmVantro form(setup, vantro::messageBoxPrompts());
  form.FormCreate();
  // The dump needs no window: it writes its files as soon as the event loop
  // runs and ends.
  if (!form.dumpMode()) form.show();
  return QApplication::exec();
}
