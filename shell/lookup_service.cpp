#include "shell/lookup_service.h"

#include "apps/words/lookup_window.h"
#include "apps/words/word_index.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/form_window.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QObject>

#include <algorithm>

namespace {

constexpr int kAnswerWithin = 2000;  // milliseconds

class LookupService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "net.varnel.Kesp.Lookup")
  public:
    using QObject::QObject;

  public slots:
    Q_SCRIPTABLE void Lookup(const QString& text) {
        kesp::RunAction([text] { ShowLookupOfRunningCopy(text); });
    }
};

}  // namespace

void ShowLookupOfRunningCopy(const QString& text) {
    // Tables stay open until the next window opens; with none but the main
    // window open, none is in use, and the dictionary's table is let go of
    // so that its index can be built anew.
    const QList<kesp::FormWindow*> open = kesp::FormWindows();
    if (std::all_of(open.begin(), open.end(),
                    [](const kesp::FormWindow* window) { return window->name() == "haupt"; }))
        T_CLOSE();
    ShowLookupWindow(DictionaryIndex(THE_DATA_PATH + QStringLiteral("de_en.dbf"), true), text);
}

bool OfferLookupService() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    static LookupService service;
    if (!bus.registerObject(kLookupPath, &service, QDBusConnection::ExportScriptableSlots))
        return false;
    if (bus.registerService(kLookupService)) return true;
    bus.unregisterObject(kLookupPath);
    return false;
}

void WithdrawLookupService() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.unregisterService(kLookupService);
    bus.unregisterObject(kLookupPath);
}

bool AskRunningCopyToLookUp(const QString& text) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kLookupService)) return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLookupService, kLookupPath, kLookupInterface, "Lookup");
    call << text;
    return bus.call(call, QDBus::Block, kAnswerWithin).type() == QDBusMessage::ReplyMessage;
}

#include "lookup_service.moc"
