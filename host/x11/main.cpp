// The X11 program, where its story starts: the entry point, the start-up, and the running program
// that wires the window and its tick thread, the menu, the tray icon, commands and signals
// together. What each part calls lives by concern beside this file: mascot_window (the display,
// the window and its picture), tick_driver (the tick and the stacking), menu_tray (Qt's menu and
// tray icon), command_channel (commands from outside and from the menu) and options.

#include <poll.h>
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

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "host/shared/globals.h"
#include "host/x11/command_channel.h"
#include "host/x11/mascot_window.h"
#include "host/x11/menu_tray.h"
#include "host/x11/options.h"
#include "host/x11/pointer_source.h"
#include "host/x11/tick_driver.h"
#include "tick/tick.h"

// ---- Declarations -------------------------------------------------------------------------------
// The running program: the window and its tick on their own X connection and thread, the menu and
// the tray icon in Qt, and the ways it ends; then what the start-up and both threads call.

constexpr int kExitLostDisplay = 1;

// Two threads with a clear split. The tick thread owns the core (the globals), the mascot's X
// connection and the window from Start until it is joined: it polls only the mascot's socket and
// the command pipe, with the next tick's deadline as the timeout, so the 10 ms tick never passes
// through Qt's event loop. Qt's thread has the menu, the tray icon and the signals; it sends menu
// choices down the pipe, and the tick thread hands the menu's opening and the program's end back
// as queued calls.
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
    // Qt's thread.
    void OnTerminationSignal();
    void StopTicks();
    void End();

    // The tick thread.
    void RunTicks();
    void OnTimer();
    void TakeMenuCommands();
    void OnXCommand(const CCommandMessage& command);
    void RunCommandId(std::uint16_t id);
    void CheckConnection();

    CXDisplay& m_display;
    int m_signalFd;
    bool m_ended = false;     // Qt's thread: the loop is about to return
    bool m_stopping = false;  // the tick thread: the exit command came, no more ticks
    CMascotWindow m_window;
    CTickDriver m_ticks;
    CPointerMailbox m_pushedPointer;                  // both threads: Qt's posts, the tick's reads
    std::unique_ptr<CPushedPointer> m_pointerSource;  // Qt's thread
    CTickTimer m_timer;
    CXEventHandlers m_handlers;
    CCommandPipe m_commands;
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

// Ends the process at once, with one line, when the X connection is gone: nothing that needs
// the display can be cleaned up any more.
[[noreturn]] void EndOnLostDisplay();

// Returns the exit status: 0 after the exit command, SIGINT or SIGTERM; 1 without a display.
int RunMascot(int argc, char** argv);

// ---- The entry point ----------------------------------------------------------------------------
// One action from the command line.

int main(int argc, char** argv) {
    COptions options = ParseOptions(argc - 1, argv + 1);
    switch (options.action) {
    case ProgramAction::Help: std::fputs(HelpText().c_str(), stdout); return 0;
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

// ---- The running program ------------------------------------------------------------------------

namespace {

constexpr int kIdsPerRead = 16;

}  // namespace

CMascotApp::CMascotApp(CXDisplay& display, int signalFd)
    : m_display(display), m_signalFd(signalFd), m_window(display), m_ticks(display, m_window) {
    m_handlers.leftPress = [] { DuckOnClick(); };
    m_handlers.rightPress = [this](int x, int y) {
        QMetaObject::invokeMethod(
            this,
            [this, x, y] {
                if (!m_ended) m_menu.popup(QPoint(x, y));
            },
            Qt::QueuedConnection);
    };
    m_handlers.command = [this](const CCommandMessage& command) { OnXCommand(command); };
    m_handlers.windowChanged = [this](const xcb_generic_event_t& event) {
        m_ticks.OnWindowEvent(event);
    };
    m_handlers.requestRefused = [this] { m_ticks.OnRequestRefused(); };
}

CMascotApp::~CMascotApp() { StopTicks(); }

bool CMascotApp::Start() {
    ResetMotion();
    if (!m_commands.Open()) {
        std::fputs("mascot: the system gives no pipe for the menu's commands\n", stderr);
        return false;
    }
    m_window.Create(LoadMascotImage());
    if (!m_window.ClaimMascotSelection()) {
        std::fputs(
            "mascot: a mascot already runs on this display; mascot --command ID sends it "
            "a command\n",
            stderr);
        return false;
    }
    m_pointerSource =
        StartPushedPointer(m_pushedPointer, [this](std::uint16_t id) { m_commands.Send(id); });
    m_ticks.Start();
    BuildPopupMenu(m_menu, [this](std::uint16_t id) { m_commands.Send(id); });
    m_tray = ShowTrayIcon(m_menu, m_pointerSource && m_pointerSource->ShowsMenu());
    m_window.Show();
    xcb_flush(m_display.Connection());
    if (m_signalFd >= 0) {
        auto* notifier = new QSocketNotifier(m_signalFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &CMascotApp::OnTerminationSignal);
    }
    try {
        m_tickThread = std::thread(&CMascotApp::RunTicks, this);
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
    m_window.Destroy();
    QCoreApplication::exit(0);
}

void CMascotApp::RunTicks() {
    pollfd watched[] = {
        {m_commands.ReadFd(), POLLIN, 0},
        {xcb_get_file_descriptor(m_display.Connection()), POLLIN, 0},
    };
    pollfd& menu = watched[0];
    pollfd& socket = watched[1];
    m_timer.Start(static_cast<int>(kTickMs), MonotonicNs());
    while (!m_stopping) {
        // While a mode runs and the X server gives the pointer, every tick reads the socket
        // within 10 ms through its pointer query; the events (above all the notice of each move)
        // wait for that read instead of waking the thread once more per tick. A closed socket
        // still wakes it (POLLHUP).
        socket.events = ModeRuns() && !m_pushedPointer.Live() ? 0 : POLLIN;
        timespec sleep = m_timer.Remaining(MonotonicNs());
        if (ppoll(watched, 2, &sleep, nullptr) < 0) continue;  // EINTR
        if (socket.revents != 0) {
            DispatchXEvents(m_display, m_handlers, true);
            CheckConnection();
        }
        if (menu.revents != 0) TakeMenuCommands();
        if (!m_stopping && m_timer.TakeDue(MonotonicNs())) OnTimer();
    }
}

// Without a mode the pointer is not read: the core would not use it (ModeRuns), and the idle
// tick then sends nothing at all.
void CMascotApp::OnTimer() {
    if (ModeRuns() && m_ticks.ReadPointer(m_pushedPointer)) {
        // What came before the reply, as if the socket had been watched: a command among it
        // acts on this tick.
        DispatchXEvents(m_display, m_handlers, false);
        if (m_stopping) return;
    }
    m_ticks.Tick();
    // A flush reads whatever waits on the socket too.
    DispatchXEvents(m_display, m_handlers, false);
    CheckConnection();
}

void CMascotApp::TakeMenuCommands() {
    std::uint16_t ids[kIdsPerRead];
    int count = m_commands.Receive(ids, kIdsPerRead);
    if (count < 0) m_stopping = true;  // Qt's thread is ending the program
    for (int i = 0; i < count && !m_stopping; ++i) RunCommandId(ids[i]);
}

void CMascotApp::OnXCommand(const CCommandMessage& command) {
    AnswerCommand(m_display, command);
    if (!m_stopping) RunCommandId(command.id);
}

void CMascotApp::RunCommandId(std::uint16_t id) {
    if (RunCommand(id) != CommandResult::Exit) return;
    FinishCommand();
    m_stopping = true;
    QMetaObject::invokeMethod(
        this, [this] { End(); }, Qt::QueuedConnection);
}

void CMascotApp::CheckConnection() {
    if (m_display.Broken()) EndOnLostDisplay();
}

// ---- Signals and a lost display -----------------------------------------------------------------

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

// Both threads notice a lost server, each on its own connection: the first says it and ends the
// process, the second waits for that end.
void EndOnLostDisplay() {
    static std::atomic_flag ending = ATOMIC_FLAG_INIT;
    if (ending.test_and_set()) {
        for (;;) pause();
    }
    std::fputs("mascot: the connection to the X display was lost\n", stderr);
    std::fflush(stderr);
    std::_Exit(kExitLostDisplay);
}
