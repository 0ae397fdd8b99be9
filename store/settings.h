// The global settings that change how the store and its functions behave.
// Set once at start-up (the deleted switch may be flipped around one step).
#pragma once

#include <QDate>
#include <QString>

namespace kesp::store {

struct Settings {
    bool exact = false;
    bool hideDeleted = true;
    bool century = true;
    QString dateFormat = QStringLiteral("dd/mm/yyyy");  // as set, lower case
    QDate today;                                        // null: the real clock
};

Settings& CurrentSettings();

}  // namespace kesp::store
