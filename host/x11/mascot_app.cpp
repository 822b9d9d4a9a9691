// Wiring the window, the tick thread, the menu, the tray icon, commands and signals together.
#include "host/x11/mascot_app.h"

#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "host/shared/globals.h"
#include "host/x11/command_channel.h"
#include "host/x11/image.h"
#include "host/x11/popup_menu.h"
#include "host/x11/termination_signals.h"
#include "host/x11/tray.h"
#include "tick/tick.h"

namespace {

constexpr int kIdsPerRead = 16;

}  // namespace

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
    m_ticks.Start();
    BuildPopupMenu(m_menu, [this](std::uint16_t id) { m_commands.Send(id); });
    m_tray = ShowTrayIcon(m_menu);
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
        // While a mode runs, every tick reads the socket within 10 ms through its pointer query;
        // the events (above all the notice of each move) wait for that read instead of waking
        // the thread once more per tick. A closed socket still wakes it (POLLHUP).
        socket.events = ModeRuns() ? 0 : POLLIN;
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
    if (ModeRuns()) {
        m_ticks.ReadPointer();
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
