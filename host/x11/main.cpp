// The X11 program, where its story starts: the entry point, the start-up, and the running program
// that wires the tick thread, the menu, the tray icon, commands and signals together. What each
// part calls lives by concern beside this file: display (the X connection), mascot_window (the
// window and its picture), stacking, tick_driver (the tick thread), menu_tray (Qt's menu and tray
// icon), command_channel (commands from outside and from the menu) and options.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QMenu>
#include <QObject>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "host/x11/command_channel.h"
#include "host/x11/display.h"
#include "host/x11/menu_tray.h"
#include "host/x11/options.h"
#include "host/x11/pointer_source.h"
#include "host/x11/tick_driver.h"

// ---- Declarations -------------------------------------------------------------------------------
// The running program: the tick thread with the window on its own X connection, the menu and the
// tray icon in Qt, and the ways it ends; then what the start-up calls.

// Two threads with a clear split. The tick thread's part is the tick loop (tick_driver.h); Qt's
// thread has the menu, the tray icon and the signals: it sends menu choices down the pipe, and the
// tick thread hands the menu's opening and the program's end back as queued calls.
class CMascotApp : public QObject {
public:
    CMascotApp(CXDisplay& display, int signalFd);
    ~CMascotApp() override;
    CMascotApp(const CMascotApp&) = delete;
    CMascotApp& operator=(const CMascotApp&) = delete;

    // Resets the motion, creates and shows the window, the menu and the tray icon, and starts
    // the tick thread; false (with one line on standard error) when the system gives no pipe or
    // thread or another mascot runs on the display.
    bool Start();

private:
    CCallsToQt CallsToQt();
    void Queue(std::function<void()> call);
    void OnTerminationSignal();
    void StopTicks();
    void End();

    int m_signalFd;
    bool m_ended = false;             // the loop is about to return
    CCommandPipe m_commands;          // the menu's choices; closing it stops the tick thread
    CPointerMailbox m_pushedPointer;  // Qt's thread posts, the tick thread reads and wants
    CTickLoop m_ticks;                // the tick thread's from the thread's start until its join
    std::unique_ptr<CPushedPointer> m_pointerSource;  // Qt's thread; gone before the mailbox
    std::thread m_tickThread;
    QMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

// SIGINT and SIGTERM as a file descriptor, read by the event loop like any other input: blocks
// both signals in this thread, and so in every thread started afterwards (call it before the
// toolkit starts its threads), and returns a signalfd for them, or -1.
int OpenTerminationSignals();

// Takes the waiting signal off the descriptor.
void TakeTerminationSignal(int fd);

// Returns the exit status: 0 after the exit command, SIGINT or SIGTERM; 1 without a display.
int RunMascot(int argc, char** argv);

// ---- The entry point ----------------------------------------------------------------------------
// One action from the command line.

int main(int argc, char** argv) {
    COptions options = ParseOptions(argc - 1, argv + 1);
    switch (options.action) {
    case ProgramAction::Help: std::fputs(HelpText().c_str(), stdout); return kExitSuccess;
    case ProgramAction::BadUsage:
        std::fprintf(stderr, "mascot: %s; see mascot --help\n", options.error.c_str());
        return kExitBadUsage;
    case ProgramAction::SendCommand: return SendCommandToMascot(options.commandId);
    case ProgramAction::Run: break;
    }
    return RunMascot(argc, argv);
}

// ---- Start-up -----------------------------------------------------------------------------------
// The display first (so that a missing one gives one line, not the toolkit's abort), the signals
// before any thread exists, then Qt and the program.

namespace {

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
        return kExitFailure;
    }
    int signalFd = OpenTerminationSignals();
    PrepareQtEnvironment();
    g_qtDefaultHandler = qInstallMessageHandler(FilterQtMessages);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    StopStyleCache();
    CMascotApp mascot(*display, signalFd);
    if (!mascot.Start()) return kExitFailure;
    return QApplication::exec();
}

// ---- The running program ------------------------------------------------------------------------

CMascotApp::CMascotApp(CXDisplay& display, int signalFd)
    : m_signalFd(signalFd), m_ticks(display, m_commands, m_pushedPointer, CallsToQt()) {}

CMascotApp::~CMascotApp() { StopTicks(); }

CCallsToQt CMascotApp::CallsToQt() {
    auto openMenu = [this](int x, int y) {
        Queue([this, x, y] {
            if (!m_ended) m_menu.popup(QPoint(x, y));
        });
    };
    return {openMenu, [this] { Queue([this] { End(); }); }};
}

void CMascotApp::Queue(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

bool CMascotApp::Start() {
    if (!m_commands.Open()) {
        std::fputs("mascot: the system gives no pipe for the menu's commands\n", stderr);
        return false;
    }
    if (!m_ticks.Prepare()) {
        std::fputs(
            "mascot: a mascot already runs on this display; mascot --command ID sends it "
            "a command\n",
            stderr);
        return false;
    }
    auto sendCommand = [this](std::uint16_t id) { m_commands.Send(id); };
    m_pointerSource = StartPushedPointer(m_pushedPointer, sendCommand);
    BuildPopupMenu(m_menu, sendCommand);
    m_tray = ShowTrayIcon(m_menu, m_pointerSource && m_pointerSource->ShowsMenu());
    m_ticks.ShowWindow();
    if (m_signalFd >= 0) {
        auto* notifier = new QSocketNotifier(m_signalFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &CMascotApp::OnTerminationSignal);
    }
    try {
        m_tickThread = std::thread(&CTickLoop::Run, &m_ticks);
    } catch (const std::system_error&) {
        std::fputs("mascot: the system gives no thread for the tick\n", stderr);
        return false;
    }
    return true;
}

void CMascotApp::OnTerminationSignal() {
    TakeTerminationSignal(m_signalFd);
    End();
}

// The tick thread stops at the pipe's end; from the join on, the window and the mascot's
// connection are this thread's.
void CMascotApp::StopTicks() {
    m_commands.Close();
    if (m_tickThread.joinable()) m_tickThread.join();
}

// The tray icon and the window go at once; the loop then returns 0.
void CMascotApp::End() {
    if (m_ended) return;
    m_ended = true;
    StopTicks();
    if (m_tray) m_tray->hide();
    m_pointerSource.reset();
    m_ticks.DestroyWindow();
    QCoreApplication::exit(kExitSuccess);
}

// ---- Signals ------------------------------------------------------------------------------------

int OpenTerminationSignals() {
    // Not named `signals`: Qt defines that word as a macro.
    sigset_t termination;
    sigemptyset(&termination);
    sigaddset(&termination, SIGINT);
    sigaddset(&termination, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &termination, nullptr) != 0) return -1;
    return signalfd(-1, &termination, SFD_NONBLOCK | SFD_CLOEXEC);
}

void TakeTerminationSignal(int fd) {
    signalfd_siginfo info;
    ssize_t got = read(fd, &info, sizeof info);
    (void)got;  // the loop ends the program whatever was read
}
