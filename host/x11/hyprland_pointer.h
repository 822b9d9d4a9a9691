// Hyprland as the pointer's source: its IPC socket answers `cursorpos` with the position, asked
// from Qt's thread at the tick's rate, one request at a time, without ever waiting for the answer.
#pragma once

#include <QByteArray>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <string_view>

#include "host/x11/pointer_source.h"

// Hyprland's answer to `cursorpos`, "x, y" in integers within X's 16-bit coordinates (negative
// where a monitor lies left of or above the first); false for anything else.
bool ParseHyprlandCursor(std::string_view answer, int& x, int& y);

// Qt's thread. Each answer is posted to the mailbox; a socket that refuses, closes without a
// position or keeps silent for a second withdraws it at once, and is then asked once a second
// until it answers again. Nothing is asked while the tick does not want the pointer.
class CHyprlandPointer : public CPushedPointer {
public:
    // The instance's socket from the session's environment.
    static std::unique_ptr<CHyprlandPointer> Start(CPointerMailbox& mailbox);
    // `sockets`: where the socket may be, the first that exists is asked.
    CHyprlandPointer(CPointerMailbox& mailbox, QStringList sockets);
    ~CHyprlandPointer() override;

private:
    void Ask();
    bool Connect();
    void OnReadable();
    void OnAnswer();
    void GiveUp();
    void HangUp();

    CPointerMailbox& m_mailbox;
    const QStringList m_sockets;
    QString m_socketPath;  // the one that answered last; found again after a failure
    int m_fd = -1;         // the question in flight
    QSocketNotifier m_readable{QSocketNotifier::Read};
    QByteArray m_answer;
    QTimer m_pace;      // the next question: at the tick's rate while answered, slowly after
    QTimer m_deadline;  // the question in flight
};
