// The running program: the mascot window and its tick on their own X connection and thread, the
// menu and the tray icon in Qt, and the ways it ends.
#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <cstdint>
#include <memory>
#include <thread>

#include "host/x11/command_message.h"
#include "host/x11/command_pipe.h"
#include "host/x11/mascot_window.h"
#include "host/x11/tick_driver.h"
#include "host/x11/tick_timer.h"
#include "host/x11/x_display.h"
#include "host/x11/x_events.h"

constexpr int kExitLostDisplay = 1;

// Two threads with a clear split. The tick thread owns the core (the globals), the mascot's X
// connection and the window from Start until it is joined: it polls only the mascot's socket and
// the command pipe, with the next tick's deadline as the timeout, so the 10 ms tick never passes
// through Qt's event loop. Qt's
// thread has the menu, the tray icon and the signals; it sends menu choices down the pipe, and
// the tick thread hands the menu's opening and the program's end back as queued calls.
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
    CTickTimer m_timer;
    CXEventHandlers m_handlers;
    CCommandPipe m_commands;
    std::thread m_tickThread;
    QMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

// Ends the process at once, with one line, when the X connection is gone: nothing that needs
// the display can be cleaned up any more.
[[noreturn]] void EndOnLostDisplay();
