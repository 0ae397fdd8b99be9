#include "shell/login_reminders.h"

#include "apps/common/export_file.h"
#include "kernel/public_variables.h"

#include <QFile>
#include <QString>

namespace {

QString EntryPath() {
    QFile pointer(THE_APP_PATH + QStringLiteral(".autostart-entry"));
    if (!pointer.open(QIODevice::ReadOnly)) return {};
    const QString path = QString::fromUtf8(pointer.readAll()).trimmed();
    return QFile::exists(path) ? path : QString();
}

}  // namespace

std::optional<bool> RemindersAtLogin() {
    const QString path = EntryPath();
    if (path.isEmpty()) return std::nullopt;
    QFile entry(path);
    if (!entry.open(QIODevice::ReadOnly)) return std::nullopt;
    return !entry.readAll().split('\n').contains("Hidden=true");
}

bool SetRemindersAtLogin(bool on) {
    const QString path = EntryPath();
    QFile entry(path);
    if (path.isEmpty() || !entry.open(QIODevice::ReadOnly)) return false;
    QList<QByteArray> lines = entry.readAll().split('\n');
    entry.close();
    lines.removeIf([](const QByteArray& line) { return line.startsWith("Hidden="); });
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    lines.append(on ? "Hidden=false" : "Hidden=true");
    // The whole entry or the old one: a desktop never reads half of it.
    return WriteFileWhole(path, lines.join('\n') + '\n');
}
