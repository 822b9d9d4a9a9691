// Wiring the window, the tick, the menu, the tray icon, commands and signals into Qt's loop.
#include "host/x11/mascot_app.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

#include "host/shared/globals.h"
#include "host/x11/command_channel.h"
#include "host/x11/image.h"
#include "host/x11/popup_menu.h"
#include "host/x11/termination_signals.h"
#include "host/x11/tray.h"
#include "tick/tick.h"

void EndOnLostDisplay() {
    std::fputs("mascot: the connection to the X display was lost\n", stderr);
    std::fflush(stderr);
    std::_Exit(kExitLostDisplay);
}

CMascotApp::CMascotApp(CXDisplay& display, int signalFd)
    : m_display(display), m_signalFd(signalFd), m_window(display), m_ticks(display, m_window) {
    m_handlers.leftPress = [] { DuckOnClick(); };
    m_handlers.rightPress = [this](int x, int y) { m_menu.popup(QPoint(x, y)); };
    m_handlers.command = [this](const CCommandMessage& command) { OnXCommand(command); };
    m_handlers.windowChanged = [this](const xcb_generic_event_t& event) {
        m_ticks.OnWindowEvent(event);
    };
    m_handlers.requestRefused = [this] { m_ticks.OnRequestRefused(); };
}

bool CMascotApp::Start() {
    ResetMotion();
    if (!m_timer.Start(static_cast<int>(kTickMs))) {
        std::fputs("mascot: the system gives no timer\n", stderr);
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
    BuildPopupMenu(m_menu, [this](std::uint16_t id) { RunCommandId(id); });
    m_tray = ShowTrayIcon(m_menu);
    m_window.Show();
    xcb_flush(m_display.Connection());
    Watch(m_timer.Fd(), &CMascotApp::OnTimer);
    Watch(xcb_get_file_descriptor(m_display.Connection()), &CMascotApp::OnXInput);
    if (m_signalFd >= 0) Watch(m_signalFd, &CMascotApp::OnTerminationSignal);
    return true;
}

void CMascotApp::Watch(int fd, void (CMascotApp::*handler)()) {
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, handler);
}

void CMascotApp::OnTimer() {
    m_timer.Acknowledge();
    if (m_ended) return;
    m_ticks.Tick();
    // The pointer query may have read events along with its reply.
    DispatchXEvents(m_display, m_handlers, false);
    CheckConnection();
}

void CMascotApp::OnXInput() {
    DispatchXEvents(m_display, m_handlers, true);
    CheckConnection();
}

void CMascotApp::OnTerminationSignal() {
    TakeTerminationSignal(m_signalFd);
    End();
}

void CMascotApp::OnXCommand(const CCommandMessage& command) {
    AnswerCommand(m_display, command);
    RunCommandId(command.id);
}

void CMascotApp::RunCommandId(std::uint16_t id) {
    if (RunCommand(id) != CommandResult::Exit) return;
    End();
    FinishCommand();
}

void CMascotApp::CheckConnection() {
    if (m_display.Broken()) EndOnLostDisplay();
}

// The tray icon and the window go at once; the loop then returns 0.
void CMascotApp::End() {
    m_ended = true;
    if (m_tray) m_tray->hide();
    m_window.Destroy();
    QCoreApplication::exit(0);
}
