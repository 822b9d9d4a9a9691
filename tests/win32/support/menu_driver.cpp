// The popup menu driver: a thread timer for the steps and a message hook for the menus shown.
#include "support/menu_driver.h"

#include <utility>

#include "support/test_window.h"

namespace {

CMenuDriver* g_activeDriver = nullptr;  // the hook and the timer reach the driver through this

}  // namespace

CMenuDriver::CMenuDriver(std::function<bool()> step) : m_step(std::move(step)) {
    g_activeDriver = this;
    m_start = GetTickCount();
    m_hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMessages, nullptr, GetCurrentThreadId());
    m_timer = SetTimer(nullptr, 0, kStepMs, OnStep);
}

CMenuDriver::~CMenuDriver() {
    if (m_timer) KillTimer(nullptr, m_timer);
    if (m_hook) UnhookWindowsHookEx(m_hook);
    g_activeDriver = nullptr;
}

HWND CMenuDriver::FindOwnMenu() {
    // Only this thread's: tests running beside this one open menus of their own on the display.
    return FindThreadWindow(kMenuClass, true);
}

bool CMenuDriver::FindOpenMenu(RECT& rect) {
    HWND menu = FindOwnMenu();
    return menu && GetWindowRect(menu, &rect);
}

void CMenuDriver::PostKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

LRESULT CALLBACK CMenuDriver::WatchMessages(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_activeDriver && sent->message == WM_INITMENUPOPUP) {
        g_activeDriver->m_shownMenus.push_back(reinterpret_cast<HMENU>(sent->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK CMenuDriver::OnStep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_activeDriver) g_activeDriver->Step();
}

void CMenuDriver::Step() {
    if (GetTickCount() - m_start > kDeadlineMs) {
        m_timedOut = true;
        EndMenu();
        return;
    }
    if (!m_done) m_done = m_step();
}

bool CForegroundWithMenu::operator()() {
    if (!CMenuDriver::FindOwnMenu()) return false;
    seen = GetForegroundWindow();
    EndMenu();
    return true;
}
