// The pointer's seam: the mailbox between Qt's thread and the tick, the tick's read while a
// source is live, the source each session gets, and Hyprland's socket against a fake Hyprland.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string_view>

#include "host/x11/hyprland_pointer.h"
#include "host/x11/pointer_source.h"

namespace {

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
        PointerSource want;
    } cases[] = {
        {nullptr, nullptr, false, false, PointerSource::XServer},
        {"", "x11", true, false, PointerSource::XServer},  // KWin on X11: X sees everywhere
        {"wayland-0", nullptr, true, false, PointerSource::KWin},
        {nullptr, "wayland", true, false, PointerSource::KWin},
        {"wayland-0", "wayland", false, false, PointerSource::XwaylandOnly},  // sway
        {"wayland-1", nullptr, false, true, PointerSource::Hyprland},
        {nullptr, "x11", false, true, PointerSource::XServer},
        {"wayland-0", nullptr, true, true, PointerSource::KWin},  // a variable left over
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ChoosePointerSource({c.waylandDisplay, c.sessionType, c.kwinOnBus, c.hyprlandInstance}),
            c.want)
            << (c.waylandDisplay ? c.waylandDisplay : "-") << (c.sessionType ? c.sessionType : "-");
    }
}

TEST(PointerSeam, HyprlandsAnswerOnlyAsItWritesIt) {
    const struct {
        std::string_view answer;
        int x, y;
    } taken[] = {
        {"640, 260", 640, 260},
        {"640, 260\n", 640, 260},
        {"-1920, 0", -1920, 0},  // a monitor left of the first
        {"32767, -32768", 32767, -32768},
    };
    for (const auto& c : taken) {
        int x = 7, y = 8;
        EXPECT_TRUE(ParseHyprlandCursor(c.answer, x, y) && x == c.x && y == c.y) << c.answer;
    }
    const std::string_view ignored[] = {
        "32768, 0",  // beyond X's coordinates
        "0, 99999999999999999999",
        "",
        "abc",
        "unknown request",
        "640",  // partial
        "640, ",
        "640 260",
        "640,260",
        " 640, 260",
        "+640, 260",
        "--640, 260",
        "640.5, 260",
        "640, 260 ",
        "640, 260\n\n",
        "640, 260, 5",
        std::string_view("640\0, 260", 9),
    };
    for (std::string_view answer : ignored) {
        int x = 7, y = 8;
        EXPECT_FALSE(ParseHyprlandCursor(answer, x, y)) << answer;
        EXPECT_TRUE(x == 7 && y == 8) << answer;  // nothing half-read reaches the mailbox
    }
}

// A Hyprland that answers `cursorpos` with `answer` and closes, or never answers while silent.
class CFakeHyprland {
public:
    QByteArray answer;
    bool silent = false;
    int asked = 0;

    explicit CFakeHyprland(const char* first) : answer(first) {
        QObject::connect(&m_server, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* client = m_server.nextPendingConnection()) {
                QObject::connect(client, &QLocalSocket::readyRead, [this, client] {
                    asked += client->readAll() == "cursorpos";
                    if (silent) return;
                    client->write(answer);
                    client->disconnectFromServer();
                });
            }
        });
    }
    bool Listen(const QString& path) { return m_server.listen(path); }
    bool Listening() const { return m_server.isListening(); }
    void Close() { m_server.close(); }

private:
    QLocalServer m_server;
};

bool WaitUntil(const std::function<bool()>& done) {
    QTimer wake;  // the wait below never sleeps past the deadline
    wake.start(20);
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

bool Holds(const CPointerMailbox& mailbox, int wantX, int wantY) {
    int x = 0, y = 0;
    return mailbox.Read(x, y) && x == wantX && y == wantY;
}

// What a crashed Hyprland leaves: its socket's file, where nobody listens.
void LeaveDeadSocket(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

TEST(PointerSeam, HyprlandsSocketWhileItAnswersTheXServerWhileNot) {
    QTemporaryDir dir;
    QString newer = dir.path() + "/run/hypr/sig/.socket.sock";
    QString older = dir.path() + "/tmp/hypr/sig/.socket.sock";
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/run/hypr/sig") &&
                QDir().mkpath(dir.path() + "/tmp/hypr/sig"));
    CFakeHyprland runtimeFolder("10, 20"), tmpFolder("30, 40");
    ASSERT_TRUE(runtimeFolder.Listen(newer) && tmpFolder.Listen(older));
    CPointerMailbox mailbox;
    CHyprlandPointer source(mailbox, {newer, older});
    EXPECT_TRUE(WaitUntil([&] { return Holds(mailbox, 10, 20); }));  // the runtime folder first
    runtimeFolder.answer = "11, 21";
    EXPECT_TRUE(WaitUntil([&] { return Holds(mailbox, 11, 21); }));
    runtimeFolder.Close();
    EXPECT_TRUE(WaitUntil([&] { return !mailbox.Live(); }));
    EXPECT_TRUE(WaitUntil([&] { return Holds(mailbox, 30, 40); }));  // then /tmp
    // Each way Hyprland stops answering withdraws the position, and its answer brings it back.
    const std::function<void()> failures[] = {
        [&] { tmpFolder.answer = "abc"; },
        [&] { tmpFolder.answer = ""; },
        [&] { tmpFolder.silent = true; },
        [&] {
            tmpFolder.Close();
            LeaveDeadSocket(older);
        },
    };
    int position = 100;
    for (const auto& fail : failures) {
        int askedBefore = tmpFolder.asked;
        fail();
        EXPECT_TRUE(WaitUntil([&] { return !mailbox.Live(); })) << position;
        if (tmpFolder.silent) {
            EXPECT_EQ(tmpFolder.asked - askedBefore, 1);  // one question in flight at a time
        }
        tmpFolder.silent = false;
        tmpFolder.answer = QByteArray::number(++position) + ", 5";
        if (!tmpFolder.Listening()) {
            ASSERT_TRUE(QLocalServer::removeServer(older) && tmpFolder.Listen(older));
        }
        EXPECT_TRUE(WaitUntil([&] { return Holds(mailbox, position, 5); })) << position;
    }
}

}  // namespace
