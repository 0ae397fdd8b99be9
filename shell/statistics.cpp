#include "shell/statistics.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/record_kinds.h"
#include "shell/system_facts.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QTimer>

#include <utility>

namespace {

// Counted by LIVECOUNT when every record counts: the word list's hundreds of
// thousands of pairs are counted without reading them.
void CountStatistic(const RecordKind& kind, const KindStatistic& statistic) {
    SETPROPERTY("haupt", "Label_36", "Value", TEXT(statistic.status));
    SETPROPERTY("haupt", "ProgressBar_4", "Value", statistic.progress);
    const QString alias = "stat_" + kind.id;
    DBUSEAREA(false, THE_DATA_PATH + kind.table, alias);
    __DBPACK();
    long long counted = 0;
    if (!statistic.today) {
        counted = LIVECOUNT();
    } else {
        const KindDate* date = DateOf(kind, *statistic.today);
        const QDate today = DATE();
        DBEVAL([&counted] { ++counted; },
               [date, &alias, today] { return DateFallsOnDayOfYear(*date, alias, today); });
    }
    SETPROPERTY("haupt", statistic.label, "Value",
                QString::number(counted) + TEXT(statistic.suffix));
    DBCLOSEALL();
}

void ShowOwnApplicationName() {
    DBUSEAREA(false, THE_DATA_PATH + "myfields.dbf", "myfields");
    DBGOTOP();
    THE_APP_NAME2 = FIELD("myfields->APPNAME").toString().trimmed();
    SETPROPERTY("haupt", "Button_27", "Caption", THE_APP_NAME2);
    DBCLOSEALL();
}

void ShowBirthDate() {
    DBUSEAREA(false, THE_DATA_PATH + "geburt.dbf", "geburt");
    DBGOTOP();
    SETPROPERTY("haupt", "Label_19", "Value",
                TEXT({"Geburtsdatum: ", "Birthday: ", "Aniversário: "}) +
                    DTOC(FIELD("geburt->DATUM").toDate()));
    DBCLOSEALL();
}

}  // namespace

namespace {

std::function<void()> afterNextRun;

}  // namespace

void AFTER_NEXT_STATISTICS(std::function<void()> step) {
    afterNextRun = std::move(step);
}

void HAUPT_STATISTIK() {
    KESP_OPERATION();
    APPLY_STORED_LANG();
    HAUPT_TEXTE();

    for (const RecordKind& kind : RecordKinds())
        for (const KindStatistic& statistic : kind.statistics)
            CountStatistic(kind, statistic);

    ShowOwnApplicationName();
    ShowBirthDate();
    SETPROPERTY("haupt", "Label_36", "Value",
                TEXT({"Zuletzt aktualisiert: ", "Last update: ", "Última atualização: "}) +
                    DTOC(DATE()) + " " + TIME().toString("hh:mm:ss"));

    HOLE_SYS();
    if (afterNextRun) QTimer::singleShot(0, std::exchange(afterNextRun, {}));
}
