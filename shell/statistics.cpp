#include "shell/statistics.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/record_kinds.h"
#include "shell/statistic_count.h"
#include "shell/system_facts.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/keystroke_painting.h"
#include "toolkit/operation_trail.h"

#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

void ShowCount(const KindStatistic& statistic, const MainWindowPlace& place, long long counted) {
    SETPROPERTY("haupt", place.countLabel, "Value",
                QString::number(counted) + TEXT(statistic.suffix));
}

// A table without records marked deleted was counted where it lies
// (`counted`); one that holds some is packed first. Counted by LIVECOUNT when every record counts:
// the word list's hundreds of thousands of pairs are counted without reading them.
void CountStatistic(const RecordKind& kind, const KindStatistic& statistic,
                    const MainWindowPlace& place, const std::optional<long long>& counted) {
    SETPROPERTY("haupt", "Label_36", "Value", TEXT(statistic.status));
    SETPROPERTY("haupt", "ProgressBar_4", "Value", place.progress);
    if (counted) {
        ShowCount(statistic, place, *counted);
        return;
    }
    const QString alias = "stat_" + kind.id;
    DBUSEAREA(false, THE_DATA_PATH + kind.table, alias);
    __DBPACK();
    long long packedCount = 0;
    if (!statistic.today) {
        packedCount = LIVECOUNT();
    } else {
        const KindDate* date = DateOf(kind, *statistic.today);
        const QDate today = DATE();
        DBEVAL([&packedCount] { ++packedCount; }, DateFallsOnDayOfYear(*date, alias, today));
    }
    ShowCount(statistic, place, packedCount);
    DBCLOSEALL();
}

// The name the user gave the own application, on its text button.
void ShowUserKindNames() {
    for (const PlacedKind& placed : PlacedKinds()) {
        if (!TakesUserName(*placed.kind)) continue;
        THE_APP_NAME2 = UserKindName(*placed.kind);
        SETPROPERTY("haupt", placed.place.launchButton, "Caption", THE_APP_NAME2);
    }
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

    std::vector<StatisticToCount> wanted;
    for (const PlacedKind& placed : PlacedKinds())
        for (const KindStatistic& statistic : placed.kind->statistics)
            wanted.push_back({THE_DATA_PATH + placed.kind->table, placed.kind, &statistic});
    const std::vector<std::optional<long long>> counts = CountEachWithoutPacking(wanted, DATE());
    // Every figure counted beside the loop (or kept from before): what
    // follows only shows them, in a moment, and the window is painted once
    // when it returns. A table left to the work area is counted below, its
    // status line and bar shown at once as it goes.
    std::optional<kesp::PaintedOnReturn> shownTogether;
    if (std::all_of(counts.begin(), counts.end(),
                    [](const auto& count) { return count.has_value(); }))
        shownTogether.emplace(kesp::FormWindowNamed("haupt"));
    std::size_t at = 0;
    for (const PlacedKind& placed : PlacedKinds())
        for (const KindStatistic& statistic : placed.kind->statistics)
            CountStatistic(*placed.kind, statistic, placed.place, counts[at++]);

    ShowUserKindNames();
    ShowBirthDate();
    SETPROPERTY("haupt", "Label_36", "Value",
                TEXT({"Zuletzt aktualisiert: ", "Last update: ", "Última atualização: "}) +
                    DTOC(DATE()) + " " + TIME().toString("hh:mm:ss"));

    HOLE_SYS();
    if (afterNextRun) QTimer::singleShot(0, std::exchange(afterNextRun, {}));
}
