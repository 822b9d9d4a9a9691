// KWin as the pointer's source on Plasma's Wayland sessions: a script loaded into KWin for the
// program's life pushes each change of the pointer to the program over the session bus. The
// names are plain #defines: the desktop tests read them too.
#pragma once

#include <QDBusServiceWatcher>
#include <QString>
#include <QTimer>

#include <memory>

#include "host/x11/mascot_bus.h"
#include "host/x11/pointer_source.h"

#define MASCOT_KWIN_SCRIPT_NAME "mascot-pointer" /* the script's name inside KWin */

extern const char kKWinService[];

// Qt's thread. The pushes count only from KWin's own connection, and only while the script
// runs: when KWin leaves the bus or the script is unloaded, the mailbox is withdrawn at once (the
// script's presence is asked once a second while it pushes); when KWin comes back the script is
// loaded again, and a script loaded again by anyone is taken up at its first push.
class CKWinPointer : public CPushedPointer, private CMascotBusObject {
public:
    // Null, having said why on standard error, when the program's bus name is held by another
    // process; the X server stays the source then.
    static std::unique_ptr<CKWinPointer> Start(CPointerMailbox& mailbox);
    // Unloads the script (the program is ending).
    ~CKWinPointer() override;

private:
    explicit CKWinPointer(CPointerMailbox& mailbox);
    void LoadScript();
    bool WriteScript();
    bool RunScript(int id);
    void UnloadScript();
    void OnKWinGone();
    void AskScriptLoaded();
    void Withdraw();

    const QString& Pusher() const override { return m_kwinSender; }
    void OnMove(int x, int y) override;
    bool OnCommand(std::uint16_t) override { return false; }

    CPointerMailbox& m_mailbox;
    QDBusServiceWatcher m_kwin;
    QTimer m_presence;     // while the script pushes: is it still loaded?
    QString m_kwinSender;  // KWin's unique name on the bus while our script is loaded in it
    QString m_scriptPath;  // written at each load, removed at the end
};
