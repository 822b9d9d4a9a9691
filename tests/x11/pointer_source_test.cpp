// The pointer's seam: the mailbox between Qt's thread and the tick, the tick's read while a
// source is live, the source each session gets, and Hyprland's socket against a fake Hyprland.
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

#include "host/x11/hyprland_pointer.h"
#include "host/x11/pointer_source.h"

namespace {

using namespace std::literals;

TEST(PointerSeam, TheNewestPushWhileLiveThenTheXServer) {
    const int cases[][4] = {// posted x, y; read x, y (X's coordinates are 16 bits)
                            {640, 260, 640, 260},
                            {-1, -300, -1, -300},
                            {40000, -40000, 32767, -32768}};
    CPointerMailbox mailbox;
    int x = 7, y = 8;
    EXPECT_FALSE(mailbox.Read(x, y) || mailbox.Live());  // no source yet
    for (const auto& c : cases) {
        mailbox.Post(960, 600);
        mailbox.Post(c[0], c[1]);  // overwrites: the tick never sees an older one
        // No connection at all: a request to the X server would crash here.
        EXPECT_FALSE(ReadNewestPointer(mailbox, nullptr, XCB_NONE, x, y));
        EXPECT_TRUE(x == c[2] && y == c[3]) << x << ", " << y;
    }
    mailbox.Withdraw();  // the source went away: the X server's again at once
    EXPECT_FALSE(mailbox.Read(x, y) || mailbox.Live());
    mailbox.Post(10, 20);  // and taken up again at its next push
    EXPECT_TRUE(mailbox.Read(x, y) && x == 10 && y == 20);
}

TEST(PointerSeam, TheSourceBySession) {
    const struct {
        const char* waylandDisplay;
        const char* sessionType;
        bool kwinOnBus;
        bool hyprlandInstance;
        bool gnomeShellOnBus;
        PointerSource want;
    } cases[] = {
        {nullptr, nullptr, false, false, false, PointerSource::XServer},
        {"", "x11", true, false, true, PointerSource::XServer},  // KWin or GNOME on X11
        {"wayland-0", nullptr, true, false, false, PointerSource::KWin},
        {nullptr, "wayland", true, false, false, PointerSource::KWin},
        {"wayland-0", nullptr, false, false, true, PointerSource::GnomeShell},
        {"wayland-0", "wayland", false, false, false, PointerSource::XwaylandOnly},  // sway
        {"wayland-1", nullptr, false, true, false, PointerSource::Hyprland},
        {"wayland-0", nullptr, true, true, false, PointerSource::KWin},  // a variable left over
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChoosePointerSource({c.waylandDisplay, c.sessionType, c.kwinOnBus,
                                       c.hyprlandInstance, c.gnomeShellOnBus}),
                  c.want)
            << (c.waylandDisplay ? c.waylandDisplay : "-") << (c.sessionType ? c.sessionType : "-")
            << c.kwinOnBus << c.hyprlandInstance << c.gnomeShellOnBus;
    }
}

constexpr int kUnread = INT_MIN;  // what x and y keep when nothing is read into them

TEST(PointerSeam, HyprlandsAnswerOnlyAsItWritesIt) {
    int x = kUnread, y = kUnread;
    EXPECT_TRUE(ParseHyprlandCursor("640, 260", x, y) && x == 640 && y == 260);
    EXPECT_TRUE(ParseHyprlandCursor("-1920, 32767\n", x, y) && x == -1920 && y == 32767);
    const std::string_view ignored[][5] = {
        {"32768, 0", "0, 99999999999999999999", "-32769, 0"},            // beyond X's coordinates
        {"", "abc", "640", "640, ", "unknown request"},                  // not a position
        {"640 260", "640,260", " 640, 260", "+640, 260", "--640, 260"},  // not as Hyprland writes
        {"640.5, 260", "640, 260 ", "640, 260\n\n", "640, 260, 5", "640\0, 260"sv},
    };
    for (const auto& row : ignored) {
        for (std::string_view answer : row)
            EXPECT_FALSE(ParseHyprlandCursor(answer, x, y)) << answer;
    }
    EXPECT_TRUE(x == -1920 && y == 32767);  // nothing of an ignored answer was taken
}

// A Hyprland that answers `cursorpos` with `answer` and closes, or never answers while silent.
struct CFakeHyprland {
    QByteArray answer;
    bool silent = false;
    int asked = 0;
    QLocalServer server;
    explicit CFakeHyprland(const char* first) : answer(first) {
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            QLocalSocket* client = server.nextPendingConnection();
            QObject::connect(client, &QLocalSocket::readyRead, [this, client] {
                asked += client->readAll() == "cursorpos";
                if (silent) return;
                client->write(answer);
                client->disconnectFromServer();
            });
        });
    }
};

// Until the mailbox holds (x, y), or is withdrawn for kUnread.
bool WaitFor(const CPointerMailbox& mailbox, int wantX, int wantY) {
    return QTest::qWaitFor([&] {
        int x = kUnread, y = kUnread;
        mailbox.Read(x, y);  // leaves them unread while withdrawn
        return x == wantX && y == wantY;
    });
}

TEST(PointerSeam, HyprlandsSocketWhileItAnswersTheXServerWhileNot) {
    QTemporaryDir dir;
    CFakeHyprland hyprland("30, 40");
    ASSERT_TRUE(hyprland.server.listen(dir.path() + "/tmp.sock"));
    CPointerMailbox mailbox;
    CHyprlandPointer source(mailbox,
                            {dir.path() + "/runtime.sock", hyprland.server.fullServerName()});
    EXPECT_TRUE(WaitFor(mailbox, 30, 40));
    hyprland.answer = "abc";
    EXPECT_TRUE(WaitFor(mailbox, kUnread, kUnread));
    hyprland.answer = "31, 41";
    EXPECT_TRUE(WaitFor(mailbox, 31, 41));  // taken up again
    int asked = hyprland.asked;
    mailbox.SetWanted(false);  // no mode runs: Hyprland is left alone
    QTest::qWait(300);
    EXPECT_LE(hyprland.asked - asked, 1);  // the question already under way, if any
    mailbox.SetWanted(true);
    asked = hyprland.asked;
    hyprland.silent = true;  // a hung Hyprland
    EXPECT_TRUE(WaitFor(mailbox, kUnread, kUnread));
    EXPECT_EQ(hyprland.asked - asked, 1);  // one question in flight at a time
    hyprland.silent = false;
    EXPECT_TRUE(WaitFor(mailbox, 31, 41));
    hyprland.server.close();  // gone: withdrawn at once
    EXPECT_TRUE(WaitFor(mailbox, kUnread, kUnread));
    EXPECT_TRUE(hyprland.server.listen(dir.path() + "/tmp.sock") && WaitFor(mailbox, 31, 41));
}

}  // namespace
