#include "kernel/reminder_settings.h"

#include "kernel/public_variables.h"
#include "kernel/settings_record.h"
#include "store/dbf_table.h"
#include "store/file_names.h"
#include "store/xbase.h"

#include <algorithm>

using kesp::store::DbfTable;

namespace {

const QString kTable = QStringLiteral("erinnern.dbf");

}  // namespace

ReminderSettings ReadReminderSettings() {
    ReminderSettings settings;
    if (!kesp::store::FileExists(THE_DATA_PATH + kTable)) return settings;
    const auto table = DbfTable::Open(THE_DATA_PATH + kTable, DbfTable::Purpose::Inspect);
    if (!table || table->RecordCount() == 0) return settings;
    settings.days = std::clamp(table->Read(1, table->FieldIndex("TAGE")).toInt(), 1, 60);
    settings.openAtStart = table->Read(1, table->FieldIndex("BEIMSTART")).toBool();
    settings.customDateReminds = table->Read(1, table->FieldIndex("EIGENDATUM")).toBool();
    // A table from before the notifications has no minutes: the default stays.
    const int minutes = table->FieldIndex("MINUTEN");
    if (minutes >= 0) settings.minutesBefore = std::clamp(table->Read(1, minutes).toInt(), 0, 999);
    return settings;
}

void WriteReminderSettings(const ReminderSettings& settings) {
    WriteSettingsRecord(kTable, "erinnern", [&settings] {
        REPLACE("erinnern->TAGE", std::clamp(settings.days, 1, 60));
        REPLACE("erinnern->BEIMSTART", settings.openAtStart);
        REPLACE("erinnern->EIGENDATUM", settings.customDateReminds);
    });
}

void WriteCustomDateReminds(bool reminds) {
    WriteSettingsRecord(kTable, "erinnern",
                        [reminds] { REPLACE("erinnern->EIGENDATUM", reminds); });
}
