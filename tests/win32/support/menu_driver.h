// Drives a modal popup menu from inside its own loop, so that menu tests never wait for a user:
// a thread timer, dispatched by the menu's loop, calls a step function until it reports done,
// and closes the menu after a deadline whatever happens.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class CMenuDriver {
public:
    // `step` runs inside the menu's loop every kStepMs; it returns true once it has done its
    // work (for example posted the keys that choose an item, or closed the menu).
    explicit CMenuDriver(std::function<bool()> step);
    ~CMenuDriver();
    CMenuDriver(const CMenuDriver&) = delete;
    CMenuDriver& operator=(const CMenuDriver&) = delete;

    // Menus that were about to be shown (WM_INITMENUPOPUP), in order.
    const std::vector<HMENU>& ShownMenus() const { return m_shownMenus; }
    bool Done() const { return m_done; }
    bool TimedOut() const { return m_timedOut; }

    // The visible popup menu window that this thread opened, or null.
    static HWND FindOwnMenu();
    // The screen rectangle of that window, if there is one.
    static bool FindOpenMenu(RECT& rect);
    // Posts a key press the menu's loop will read.
    static void PostKey(HWND window, WPARAM key);

    static constexpr UINT kStepMs = 20;
    static constexpr char kMenuClass[] = "#32768";  // the system's popup menu window class
    static constexpr DWORD kDeadlineMs = 5000;

private:
    static LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnStep(HWND, UINT, UINT_PTR, DWORD);
    void Step();

    std::function<bool()> m_step;
    std::vector<HMENU> m_shownMenus;
    HHOOK m_hook = nullptr;
    UINT_PTR m_timer = 0;
    DWORD m_start = 0;
    bool m_done = false;
    bool m_timedOut = false;
};

// A menu driver step that notes the foreground window once this thread's menu is open, then
// closes the menu.
struct CForegroundWithMenu {
    HWND seen = nullptr;
    bool operator()();
};
