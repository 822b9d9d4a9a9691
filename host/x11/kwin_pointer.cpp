// KWin as the pointer's source: the program's name and object on the session bus, the script's
// load, run and unload over KWin's scripting interface, and the watch on KWin and the script.
#include "host/x11/kwin_pointer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>

const char kKWinService[] = "org.kde.KWin";

namespace {

constexpr char kScriptingPath[] = "/Scripting";
constexpr char kScriptingInterface[] = "org.kde.kwin.Scripting";
constexpr char kScriptInterface[] = "org.kde.kwin.Script";
constexpr char kScriptResource[] = ":/kwin/pointer.js";
constexpr int kCallTimeoutMs = 2000;  // KWin answers at once; a hung KWin must not hold the menu
constexpr int kPresenceMs = 1000;

QDBusMessage Scripting(const char* method, const QVariantList& arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kKWinService, kScriptingPath, kScriptingInterface, method);
    call.setArguments(arguments);
    return call;
}

QDBusMessage CallKWin(const QDBusMessage& call) {
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
}

bool Answered(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

}  // namespace

std::unique_ptr<CKWinPointer> CKWinPointer::Start(CPointerMailbox& mailbox) {
    std::unique_ptr<CKWinPointer> source(new CKWinPointer(mailbox));
    if (!source->Register("KWin")) return nullptr;
    source->LoadScript();
    return source;
}

CKWinPointer::CKWinPointer(CPointerMailbox& mailbox)
    : m_mailbox(mailbox),
      m_kwin(
          kKWinService, QDBusConnection::sessionBus(),
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration) {
    m_presence.setInterval(kPresenceMs);
    QObject::connect(&m_presence, &QTimer::timeout, &m_presence, [this] { AskScriptLoaded(); });
    QObject::connect(&m_kwin, &QDBusServiceWatcher::serviceRegistered, &m_kwin,
                     [this] { LoadScript(); });
    QObject::connect(&m_kwin, &QDBusServiceWatcher::serviceUnregistered, &m_kwin,
                     [this] { OnKWinGone(); });
}

CKWinPointer::~CKWinPointer() {
    Withdraw();
    if (!m_kwinSender.isEmpty()) UnloadScript();
    Unregister();
    if (!m_scriptPath.isEmpty()) QFile::remove(m_scriptPath);
}

// A script left by a mascot that was killed is unloaded first, so that one runs, never two.
void CKWinPointer::LoadScript() {
    m_kwinSender = QDBusConnection::sessionBus().interface()->serviceOwner(kKWinService);
    if (m_kwinSender.isEmpty() || !WriteScript()) return;
    QVariantList name{QStringLiteral(MASCOT_KWIN_SCRIPT_NAME)};
    QDBusMessage loaded = CallKWin(Scripting("isScriptLoaded", name));
    if (Answered(loaded) && loaded.arguments().first().toBool()) UnloadScript();
    QDBusMessage id = CallKWin(Scripting("loadScript", {m_scriptPath, name.first()}));
    if (!Answered(id) || id.arguments().first().toInt() < 0 ||
        !RunScript(id.arguments().first().toInt())) {
        std::fputs(
            "mascot: KWin did not run the script that tells where the pointer is; it is "
            "followed only over X windows\n",
            stderr);
    }
}

// The script's text, after the names it calls: in the runtime folder, which only this user
// reads, under a fixed name, so that a test or a user can load it again.
bool CKWinPointer::WriteScript() {
    QFile resource(kScriptResource);
    m_scriptPath = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                   QStringLiteral("/" MASCOT_KWIN_SCRIPT_NAME ".js");
    QFile script(m_scriptPath);
    if (!resource.open(QIODevice::ReadOnly) || !script.open(QIODevice::WriteOnly)) return false;
    script.write("const mascot = {service: \"" MASCOT_BUS_NAME "\", path: \"" MASCOT_POINTER_PATH
                 "\", iface: \"" MASCOT_POINTER_INTERFACE "\", method: \"" MASCOT_POINTER_METHOD
                 "\"};\n");
    script.write(resource.readAll());
    return script.error() == QFileDevice::NoError;
}

// KWin 6 names the script's object /Scripting/Script<id>, KWin 5.27 /<id>.
bool CKWinPointer::RunScript(int id) {
    for (const QString& path :
         {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)}) {
        QDBusMessage run =
            CallKWin(QDBusMessage::createMethodCall(kKWinService, path, kScriptInterface, "run"));
        if (run.type() == QDBusMessage::ReplyMessage) return true;
    }
    return false;
}

void CKWinPointer::UnloadScript() {
    CallKWin(Scripting("unloadScript", {QStringLiteral(MASCOT_KWIN_SCRIPT_NAME)}));
}

void CKWinPointer::OnKWinGone() {
    m_kwinSender.clear();
    Withdraw();
}

void CKWinPointer::AskScriptLoaded() {
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(
        Scripting("isScriptLoaded", {QStringLiteral(MASCOT_KWIN_SCRIPT_NAME)}), kCallTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(pending, &m_presence);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_presence,
                     [this](QDBusPendingCallWatcher* answered) {
                         answered->deleteLater();
                         QDBusPendingReply<bool> loaded = *answered;
                         if (loaded.isValid() && !loaded.value()) Withdraw();
                     });
}

void CKWinPointer::Withdraw() {
    m_presence.stop();
    m_mailbox.Withdraw();
}

void CKWinPointer::OnMove(int x, int y) {
    m_mailbox.Post(x, y);
    if (!m_presence.isActive()) m_presence.start();
}
