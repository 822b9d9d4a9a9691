// Start-up: the display first (so that a missing one gives one line, not the toolkit's abort),
// the signals before any thread exists, then Qt and the program.
#include "host/x11/run_mascot.h"

#include <QApplication>
#include <QByteArray>

#include <cstdio>

#include "host/x11/mascot_app.h"
#include "host/x11/qt_environment.h"
#include "host/x11/termination_signals.h"

namespace {

constexpr int kExitCannotStart = 1;
constexpr char kNoDisplay[] =
    "mascot: cannot open the X display (DISPLAY is unset or unreachable); without one, the "
    "headless simulator shows the motion: mascot-sim, or tools/run-sim.sh examples/demo.script "
    "in the source tree\n";

QtMessageHandler g_qtDefaultHandler = nullptr;

// Qt ends the process with its own words when its connection breaks; the mascot says it in its
// own single line, the same as when its own connection breaks first.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("X11 connection broke"))) EndOnLostDisplay();
    if (g_qtDefaultHandler) g_qtDefaultHandler(type, context, text);
}

}  // namespace

int RunMascot(int argc, char** argv) {
    std::unique_ptr<CXDisplay> display = CXDisplay::Open();
    if (!display) {
        std::fputs(kNoDisplay, stderr);
        return kExitCannotStart;
    }
    int signalFd = OpenTerminationSignals();
    PrepareQtEnvironment();
    g_qtDefaultHandler = qInstallMessageHandler(FilterQtMessages);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    StopStyleCache();
    CMascotApp mascot(*display, signalFd);
    if (!mascot.Start()) return kExitCannotStart;
    return QApplication::exec();
}
