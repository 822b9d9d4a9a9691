// mascot-probe: a small Windows tool the end-to-end tests and the monkey run under the same Wine
// as the mascot. It reads the mascot window's z-order from Win32 (X cannot show a lowered window)
// and its object counts, sends the window messages, or puts a plain window over a spot of the
// screen for pixel checks. `serve` answers one command per input line, without a start per call.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "probe_objects.h"
#include "probe_target.h"

namespace {

constexpr const char* kCoverClass = "mascot probe cover";
constexpr UINT_PTR kCoverTimer = 1;
constexpr COLORREF kCoverColour = RGB(255, 0, 255);  // magenta: no colour of the mascot
constexpr const char* kTaskbarCreated = "TaskbarCreated";
constexpr int kMaxWords = 128;       // of one `serve` line: a burst of 50 ids and more
constexpr int kMaxLine = 4096;
constexpr long kMaxMs = 60000;
constexpr const char* kNoMascot = "no mascot window, or more than one";
constexpr const char* kRegionProperty = "region";  // holds the shape region of the latest tick
constexpr int kTicksToPlace = 2;
constexpr DWORD kTickWaitMs = 2000;

constexpr const char* kUsage =
    "usage: mascot-probe COMMAND ARGS...   or   mascot-probe serve (COMMAND ARGS... per line)\n"
    "  state                one line: found topmost above below visible x y w h\n"
    "  command ID           posts WM_COMMAND ID to the mascot window\n"
    "  burst MS WPARAM...   posts WM_COMMAND with each WPARAM, spread evenly over MS ms\n"
    "  close                posts WM_CLOSE to the mascot window\n"
    "  objects              GDI and USER objects of the mascot's process\n"
    "  gdi-types            Wine: its GDI objects by type (TYPE:COUNT, the table's type byte)\n"
    "  zorder RVA           the int at RVA of the mascot's image (its z-order state), the\n"
    "                       window's topmost bit two ticks later, then the int again\n"
    "  drop-icon ID         removes the mascot window's tray icon ID, as a new taskbar has none\n"
    "  taskbar-created      posts the \"TaskbarCreated\" message to the mascot window\n"
    "  cover X Y W H S      shows a magenta, non-topmost window at X Y, W x H pixels, for S s\n"
    "Every command prints one line; failures print \"error ...\" and end with status 1.\n"
    "The mascot is the one window of class \"mascot test program\"; two of them count as none.\n";

int Fail(const char* reason) {
    std::printf("error %s\n", reason);
    return 1;
}

// Reads word `index` as a whole number in [low, high] (decimal, or hexadecimal after 0x).
bool ReadNumber(char** words, int index, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(words[index], &end, 0);
    return end != words[index] && *end == '\0' && value >= low && value <= high;
}

// How many visible windows lie next to `window` in the z-order, walking with `direction`.
int CountVisible(HWND window, UINT direction) {
    int count = 0;
    for (HWND other = GetWindow(window, direction); other != nullptr;
         other = GetWindow(other, direction)) {
        if (IsWindowVisible(other)) ++count;
    }
    return count;
}

int IsTopmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? 1 : 0;
}

int PrintState() {
    HWND mascot = FindMascot();
    if (mascot == nullptr) {
        std::printf("found 0\n");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(mascot, &rect);
    std::printf("found 1 topmost %d above %d below %d visible %d x %ld y %ld w %ld h %ld\n",
                IsTopmost(mascot), CountVisible(mascot, GW_HWNDPREV),
                CountVisible(mascot, GW_HWNDNEXT), IsWindowVisible(mascot) ? 1 : 0, rect.left,
                rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

int PostToMascot(UINT message, WPARAM wParam) {
    HWND mascot = FindMascot();
    if (mascot == nullptr) return Fail(kNoMascot);
    if (!PostMessageA(mascot, message, wParam, 0)) return Fail("PostMessage failed");
    std::printf("posted 1\n");
    return 0;
}

int PostBurst(long long spanMs, char** words, int count) {
    HWND mascot = FindMascot();
    if (mascot == nullptr) return Fail(kNoMascot);
    long long wParams[kMaxWords] = {};
    for (int i = 0; i < count; ++i) {
        if (!ReadNumber(words, i, 0, 0xFFFFFFFFLL, wParams[i])) return Fail("bad WPARAM");
    }
    DWORD pause = count > 1 ? static_cast<DWORD>(spanMs / (count - 1)) : 0;
    int posted = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) Sleep(pause);
        if (PostMessageA(mascot, WM_COMMAND, static_cast<WPARAM>(wParams[i]), 0)) ++posted;
    }
    std::printf("posted %d\n", posted);
    return posted == count ? 0 : 1;
}

int PrintObjects() {
    ObjectCounts counts;
    HWND mascot = FindMascot();
    if (mascot == nullptr) return Fail(kNoMascot);
    if (!CountObjects(mascot, counts)) return Fail("cannot read the mascot's process");
    std::printf("gdi %ld %s %ld\n", counts.gdiInUse, counts.userIsFreeSlots ? "user-free" : "user",
                counts.user);
    return 0;
}

int PrintGdiTypes() {
    HWND mascot = FindMascot();
    long perType[32] = {};
    if (mascot == nullptr) return Fail(kNoMascot);
    if (!CountGdiTypes(mascot, perType)) return Fail("cannot read the GDI handle table");
    std::printf("gdi-types");
    for (int type = 1; type < 32; ++type) {
        if (perType[type] != 0) std::printf(" %d:%ld", type, perType[type]);
    }
    std::printf("\n");
    return 0;
}

// Waits until the window's "region" property has changed `ticks` times: every tick stores a new
// region there as its first step and places the window as its last, so after two changes the
// tick that began after the call has placed the window. Returns how many changes were seen.
int WaitForTicks(HWND window, int ticks) {
    HANDLE last = GetPropA(window, kRegionProperty);
    DWORD start = GetTickCount();
    int seen = 0;
    while (seen < ticks && GetTickCount() - start < kTickWaitMs) {
        Sleep(1);
        HANDLE now = GetPropA(window, kRegionProperty);
        if (now != last) ++seen;
        last = now;
    }
    return seen;
}

// The state is read on both sides of the topmost bit: equal readings mean it held throughout,
// and two ticks in between mean the window has been placed for it since the first reading.
int PrintZOrder(long long rva) {
    HWND mascot = FindMascot();
    std::int32_t before = 0;
    std::int32_t after = 0;
    if (mascot == nullptr) return Fail(kNoMascot);
    if (!ReadImageInt(mascot, static_cast<std::uintptr_t>(rva), before)) {
        return Fail("cannot read the mascot's memory");
    }
    int ticks = WaitForTicks(mascot, kTicksToPlace);
    int topmost = IsTopmost(mascot);
    if (!ReadImageInt(mascot, static_cast<std::uintptr_t>(rva), after)) {
        return Fail("cannot read the mascot's memory");
    }
    std::printf("zorder %d topmost %d zorder-after %d ticks %d\n", before, topmost, after, ticks);
    return 0;
}

int DropTrayIcon(long long id) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = FindMascot();
    icon.uID = static_cast<UINT>(id);
    if (icon.hWnd == nullptr) return Fail(kNoMascot);
    std::printf("dropped %d\n", Shell_NotifyIconA(NIM_DELETE, &icon) ? 1 : 0);
    return 0;
}

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowCover(const long long* box) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = CoverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(kCoverColour);
    windowClass.lpszClassName = kCoverClass;
    RegisterClassExA(&windowClass);
    HWND cover = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, nullptr,
                                 WS_POPUP, static_cast<int>(box[0]), static_cast<int>(box[1]),
                                 static_cast<int>(box[2]), static_cast<int>(box[3]), nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
    if (cover == nullptr) return Fail("cannot create the cover");
    SetTimer(cover, kCoverTimer, static_cast<UINT>(box[4]) * 1000u, nullptr);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    std::printf("cover shown\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int Cover(char** words) {
    constexpr long long kLimit = 100000;
    long long box[5] = {};
    for (int i = 0; i < 5; ++i) {
        if (!ReadNumber(words, i, i < 2 ? -kLimit : 1, kLimit, box[i])) return Fail("bad number");
    }
    return ShowCover(box);
}

bool Is(int count, char** words, const char* name, int arguments) {
    return count == arguments + 1 && std::strcmp(words[0], name) == 0;
}

int Run(int count, char** words) {
    long long a = 0;
    if (Is(count, words, "state", 0)) return PrintState();
    if (Is(count, words, "close", 0)) return PostToMascot(WM_CLOSE, 0);
    if (Is(count, words, "objects", 0)) return PrintObjects();
    if (Is(count, words, "gdi-types", 0)) return PrintGdiTypes();
    if (Is(count, words, "taskbar-created", 0)) {
        return PostToMascot(RegisterWindowMessageA(kTaskbarCreated), 0);
    }
    if (Is(count, words, "command", 1)) {
        return ReadNumber(words, 1, 0, 0xFFFFFFFFLL, a) ? PostToMascot(WM_COMMAND, a)
                                                        : Fail("bad command id");
    }
    if (Is(count, words, "drop-icon", 1)) {
        return ReadNumber(words, 1, 0, 0xFFFFFFFFLL, a) ? DropTrayIcon(a) : Fail("bad icon id");
    }
    if (Is(count, words, "zorder", 1)) {
        return ReadNumber(words, 1, 0, 0x7FFFFFFFLL, a) ? PrintZOrder(a) : Fail("bad RVA");
    }
    if (count >= 3 && count <= kMaxWords && std::strcmp(words[0], "burst") == 0) {
        return ReadNumber(words, 1, 0, kMaxMs, a) ? PostBurst(a, words + 2, count - 2)
                                                  : Fail("bad MS");
    }
    if (Is(count, words, "cover", 5)) return Cover(words + 1);
    std::fputs(kUsage, stderr);
    return Fail("usage");
}

// One command per line, one answer line each, until the input ends.
int Serve() {
    char line[kMaxLine];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char* words[kMaxWords + 1] = {};
        int count = 0;
        for (char* word = std::strtok(line, " \t\r\n"); word != nullptr && count <= kMaxWords;
             word = std::strtok(nullptr, " \t\r\n")) {
            words[count++] = word;
        }
        if (count == 0) continue;
        if (std::strcmp(words[0], "cover") == 0) {
            Fail("cover runs only on its own");
        } else {
            Run(count, words);
        }
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "serve") == 0) return Serve();
    return Run(argc - 1, argv + 1);
}
