// The running program: the mascot window and its tick on their own X connection, the menu and
// the tray icon in Qt, and the ways it ends.
#pragma once

#include <QMenu>
#include <QObject>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include <cstdint>
#include <memory>

#include "host/x11/command_message.h"
#include "host/x11/mascot_window.h"
#include "host/x11/tick_driver.h"
#include "host/x11/tick_timer.h"
#include "host/x11/x_display.h"
#include "host/x11/x_events.h"

constexpr int kExitLostDisplay = 1;

class CMascotApp : public QObject {
public:
    CMascotApp(CXDisplay& display, int signalFd);

    // Resets the motion, creates and shows the window, the menu and the tray icon, and starts
    // the timer; false (with one line on standard error) when there is no timer or another
    // mascot runs on the display.
    bool Start();

private:
    void Watch(int fd, void (CMascotApp::*handler)());
    void OnTimer();
    void OnXInput();
    void OnTerminationSignal();
    void OnXCommand(const CCommandMessage& command);
    void RunCommandId(std::uint16_t id);
    void CheckConnection();
    void End();

    CXDisplay& m_display;
    int m_signalFd;
    bool m_ended = false;  // the loop is about to return: no more ticks
    CMascotWindow m_window;
    CTickDriver m_ticks;
    CTickTimer m_timer;
    CXEventHandlers m_handlers;
    QMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

// Ends the process at once, with one line, when the X connection is gone: nothing that needs
// the display can be cleaned up any more.
[[noreturn]] void EndOnLostDisplay();
