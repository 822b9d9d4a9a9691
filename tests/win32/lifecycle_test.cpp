// The run of the program: start-up, the tray icon, the exit and the destroy handling.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/shared/globals.h"
#include "host/win32/window.h"
#include "host/win32/tick.h"
#include "host/win32/menu_tray.h"
#include "host/win32/shape.h"
#include "support/test_window.h"

namespace {

constexpr DWORD kRunDeadlineMs = 5000;

// Whether the tray holds the icon `icon` describes: only an icon that exists can be modified.
bool TrayHasIcon(const NOTIFYICONDATAA& icon) {
    NOTIFYICONDATAA probe = icon;
    probe.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The mascot window of this test's own thread (other tests may run beside it on the display).
HWND FindOwnMascot() { return FindThreadWindow(kMascotClassName, false); }

// Watches a running MascotMain from a thread timer, which its message loop dispatches.
struct CRunWatch {
    DWORD start = 0;
    bool sawVisible = false;
    bool sawTrayIcon = false;
    bool timedOut = false;
    bool exitSent = false;
};
CRunWatch g_watch;

void CALLBACK WatchRun(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = FindOwnMascot();
    if (GetTickCount() - g_watch.start > kRunDeadlineMs) {
        g_watch.timedOut = true;
        if (window) DestroyWindow(window);
        PostQuitMessage(99);
        return;
    }
    if (!window || g_watch.exitSent) return;
    if (IsWindowVisible(window)) g_watch.sawVisible = true;
    if (g_host.m_trayIcon.hWnd == window && TrayHasIcon(g_host.m_trayIcon))
        g_watch.sawTrayIcon = true;
    if (g_watch.sawVisible && g_watch.sawTrayIcon) {
        g_watch.exitSent = true;
        PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    }
}

// Makes every window creation on this thread fail.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(StartUp, HiddenStartShowsTheMascotAndExitEndsTheRunWithZero) {
    ResetHostGlobals();
    g_watch = {};
    g_watch.start = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchRun);
    int exitCode = MascotMain(GetModuleHandleA(nullptr), SW_HIDE);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(g_watch.timedOut);
    EXPECT_TRUE(g_watch.sawVisible);  // the first tick shows the window
    EXPECT_TRUE(g_watch.sawTrayIcon);
    EXPECT_EQ(0, exitCode);
    EXPECT_EQ(nullptr, FindOwnMascot());
}

TEST(StartUp, FailedWindowCreationReturnsZeroWithoutTrayIcon) {
    ResetHostGlobals();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    int exitCode = MascotMain(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(0, exitCode);
    EXPECT_EQ(nullptr, g_host.m_trayIcon.hWnd);
    EXPECT_EQ(0u, g_host.m_trayIcon.cbSize);
}

class TrayIconOfWindow : public MascotWindowTest {};

TEST_F(TrayIconOfWindow, ExitRemovesTheIconStopsTheTimerAndEndsTheLoopWithZero) {
    AddTrayIcon(m_window);
    NOTIFYICONDATAA added = g_host.m_trayIcon;
    ASSERT_TRUE(TrayHasIcon(added));
    PostMessageA(m_window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, RunMessageLoop());
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_FALSE(TrayHasIcon(added));
    EXPECT_EQ(nullptr, g_host.m_mascotBitmap);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(TrayIconOfWindow, NewTaskbarGetsTheIconAgain) {
    AddTrayIcon(m_window);
    NOTIFYICONDATAA added = g_host.m_trayIcon;
    // A restarted taskbar has lost every icon.
    Shell_NotifyIconA(NIM_DELETE, &added);
    ASSERT_FALSE(TrayHasIcon(added));
    SendMessageA(m_window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayHasIcon(added));
}

class DestroyHandling : public MascotWindowTest {};

TEST_F(DestroyHandling, RemovesTheTrayIconStopsTheTimerReleasesTheBitmapAndDropsTheProperty) {
    AddTrayIcon(m_window);
    NOTIFYICONDATAA added = g_host.m_trayIcon;
    ASSERT_TRUE(TrayHasIcon(added));
    ASSERT_NE(nullptr, GetPropA(m_window, kRegionProperty));
    SendMessageA(m_window, WM_DESTROY, 0, 0);
    // The window still exists: its icon can only be absent because the handling removed it.
    ASSERT_TRUE(IsWindow(m_window));
    EXPECT_FALSE(TrayHasIcon(added));
    EXPECT_FALSE(KillTimer(m_window, kTickTimerId));  // already gone
    EXPECT_EQ(nullptr, g_host.m_mascotBitmap);
    EXPECT_EQ(nullptr, GetPropA(m_window, kRegionProperty));
    int exitCode = -1;
    ASSERT_TRUE(TakeQuitMessage(exitCode));
    EXPECT_EQ(0, exitCode);
}
