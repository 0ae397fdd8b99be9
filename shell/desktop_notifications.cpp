#include "shell/desktop_notifications.h"

#include "kernel/public_variables.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

bool NotificationServiceAvailable() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return false;
    const auto registered = bus.interface()->isServiceRegistered(kService);
    return registered.isValid() && registered.value();
}

bool PostNotification(const QString& summary, const QString& body, bool wait) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    notify << THE_APP_NAME << 0u << QStringLiteral("appointment-soon") << summary << body
           << QStringList() << QVariantMap() << -1;
    if (!wait) return bus.send(notify);
    return bus.call(notify, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}
