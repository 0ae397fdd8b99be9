// The view a report prints, read through the table store: the current work
// area from its current record to the end, fields by name.
#pragma once

#include "reports/report_layout.h"

#include <QHash>
#include <QSet>

class StoreRecords : public ReportRecords {
  public:
    // Requires: the view's work area is the current one.
    StoreRecords();
    bool atEnd() override;
    void skip() override;
    ReportValue field(const QString& aliasField) override;

    // The fields the expressions name that the current table lacks (those
    // given with another table's alias are not checked).
    static QStringList MissingFields(const QStringList& aliasFields);

  private:
    struct Kind {
        bool memo = false;
        int decimals = -1;  // numeric fields only
    };
    QHash<QString, Kind> kindByName_;  // names as the expressions write them
};
