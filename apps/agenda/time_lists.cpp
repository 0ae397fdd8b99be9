#include "apps/agenda/time_lists.h"

#include "apps/common/window_texts.h"

namespace {

QStringList Steps(int count, int step) {
    QStringList items;
    for (int value = 0; value < count; value += step)
        items.append(QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')));
    return items;
}

}  // namespace

const QStringList& HourItems() {
    static const QStringList hours = Steps(24, 1);
    return hours;
}

const QStringList& MinuteItems() {
    static const QStringList minutes = Steps(60, 5);
    return minutes;
}

int ItemShowing(const QStringList& items, const QString& stored) {
    return int(items.indexOf(TrimBlanks(stored))) + 1;
}

QString ChosenTimeText(const QStringList& items, int chosen, const QString& unchosen) {
    return chosen >= 1 && chosen <= items.size() ? items[chosen - 1] : unchosen;
}
