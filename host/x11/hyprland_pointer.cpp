// Hyprland as the pointer's source: the answer's format, where the socket is, and the question
// asked over and over on Qt's thread.
#include "host/x11/hyprland_pointer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFileInfo>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>

namespace {

constexpr char kRequest[] = "cursorpos";
constexpr int kAskMs = 10;          // the tick's rate: each tick may see a new position
constexpr int kRetryMs = 1000;      // while Hyprland does not answer
constexpr int kAnswerMs = 1000;     // it answers at once; silence this long is a hung compositor
constexpr int kLongestAnswer = 64;  // "-32768, -32768\n" and more than enough room

// One coordinate from the front of `text`, which then starts after it.
bool TakeCoordinate(std::string_view& text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || value < INT16_MIN || value > INT16_MAX) return false;
    text.remove_prefix(end - text.data());
    return true;
}

}  // namespace

bool ParseHyprlandCursor(std::string_view answer, int& x, int& y) {
    int parsedX = 0, parsedY = 0;
    if (!TakeCoordinate(answer, parsedX) || answer.substr(0, 2) != ", ") return false;
    answer.remove_prefix(2);
    if (!TakeCoordinate(answer, parsedY) || !(answer.empty() || answer == "\n")) return false;
    x = parsedX;
    y = parsedY;
    return true;
}

// Newer Hyprland puts the socket in the runtime folder, older Hyprland in /tmp.
std::unique_ptr<CHyprlandPointer> CHyprlandPointer::Start(CPointerMailbox& mailbox) {
    QString instance = QString::fromLocal8Bit(std::getenv("HYPRLAND_INSTANCE_SIGNATURE"));
    QString tail = QStringLiteral("/hypr/%1/.socket.sock").arg(instance);
    QStringList sockets;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        sockets << QString::fromLocal8Bit(runtime) + tail;
    }
    sockets << QStringLiteral("/tmp") + tail;
    return std::make_unique<CHyprlandPointer>(mailbox, std::move(sockets));
}

CHyprlandPointer::CHyprlandPointer(CPointerMailbox& mailbox, QStringList sockets)
    : m_mailbox(mailbox), m_sockets(std::move(sockets)) {
    m_answer.reserve(2 * (kLongestAnswer + 1));  // the longest answer kept, and one more piece
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kAnswerMs);
    QObject::connect(&m_deadline, &QTimer::timeout, &m_deadline, [this] { GiveUp(); });
    QObject::connect(&m_readable, &QSocketNotifier::activated, &m_readable,
                     [this] { OnReadable(); });
    m_pace.setInterval(kRetryMs);
    QObject::connect(&m_pace, &QTimer::timeout, &m_pace, [this] { Ask(); });
    m_pace.start();
    Ask();
}

CHyprlandPointer::~CHyprlandPointer() {
    HangUp();
    m_mailbox.Withdraw();
}

// Hyprland answers one question per connection and then closes it.
void CHyprlandPointer::Ask() {
    if (m_fd >= 0 || !m_mailbox.Wanted()) return;  // the last one still in flight; or idle
    if (m_socketPath.isEmpty()) {
        for (const QString& path : m_sockets) {
            if (QFileInfo::exists(path)) {
                m_socketPath = path;
                break;
            }
        }
        if (m_socketPath.isEmpty()) return;
    }
    if (!Connect()) {
        GiveUp();
        return;
    }
    m_answer.resize(0);  // keeps the buffer: a question every 10 ms allocates nothing
    m_readable.setSocket(m_fd);
    m_readable.setEnabled(true);
    m_deadline.start();
}

// A local connection is made at once or refused at once, and the question fits in the empty
// buffer: neither waits. MSG_NOSIGNAL: a peer that is already gone must not end the program.
bool CHyprlandPointer::Connect() {
    QByteArray path = m_socketPath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    constexpr auto kLength = static_cast<ssize_t>(sizeof kRequest - 1);
    return m_fd >= 0 && connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
           send(m_fd, kRequest, kLength, MSG_NOSIGNAL) == kLength;
}

// The answer may come in pieces; Hyprland's close ends it. Reading on to the close that is
// already there saves a wake-up per question.
void CHyprlandPointer::OnReadable() {
    char piece[kLongestAnswer + 1];
    for (;;) {
        ssize_t got = read(m_fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == EAGAIN) return;
        if (got < 0) return GiveUp();
        if (got == 0) return OnAnswer();
        m_answer.append(piece, got);
        if (m_answer.size() > kLongestAnswer) return GiveUp();
    }
}

void CHyprlandPointer::OnAnswer() {
    HangUp();
    int x = 0, y = 0;
    if (!ParseHyprlandCursor(std::string_view(m_answer.constData(), m_answer.size()), x, y)) {
        GiveUp();
        return;
    }
    m_mailbox.Post(x, y);
    if (m_pace.interval() != kAskMs) m_pace.setInterval(kAskMs);
}

// A stale position would be chased forever: the X server's pointer is better.
void CHyprlandPointer::GiveUp() {
    HangUp();
    m_mailbox.Withdraw();
    m_socketPath.clear();
    if (m_pace.interval() != kRetryMs) m_pace.setInterval(kRetryMs);
}

void CHyprlandPointer::HangUp() {
    m_deadline.stop();
    m_readable.setEnabled(false);
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}
