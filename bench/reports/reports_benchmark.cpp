// Lays out a list report of 100,000 records from a table of the store, with
// the pages recorded into page files as the preview gets them, and compares
// the time with reading the same fields of the same records from the store
// alone. Prints pages per second and the ratio layout / reading.
//
//   reports_benchmark [records]
#include "reports/page_folder.h"
#include "reports/report_layout.h"
#include "reports/store_records.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* kDefinition =
    "DEFINE REPORT bench\n"
    "TITLE 'Agenda|' + DTOC(DATE())\n"
    "HEADERS {'','','',''},{'Name','Date','Amount','Note'}\n"
    "FIELDS {'bench->vorname','DTOC(datum)','betrag','notiz'}\n"
    "WIDTHS {20,10,10,30}\n"
    "TOTALS {.F.,.F.,.T.,.F.}\n"
    "NFORMATS {'','','9999999.99',''}\n"
    "GROUPED BY STR(YEAR(datum),4)\n"
    "HEADRGRP 'Year'\n"
    "WORKAREA bench\n";

void Fill(const QString& path, int records) {
    kesp::CreateTable(path, {{"VORNAME", 'C', 20, 0},
                             {"DATUM", 'D', 8, 0},
                             {"BETRAG", 'N', 10, 2},
                             {"NOTIZ", 'M', 10, 0}});
    DBUSEAREA(true, path, "bench");
    for (int i = 0; i < records; ++i) {
        DBAPPEND();
        REPLACE("vorname", "Name " + QString::number(i));
        REPLACE("datum", QDate(1990, 1, 1).addDays(i / 10));
        REPLACE("betrag", (i % 1000) / 10.0);
        if (i % 20 == 0) REPLACE("notiz", "A short note that takes two lines of the column");
    }
    DBCOMMIT();
}

double ReadOnce() {
    QElapsedTimer clock;
    clock.start();
    DBGOTOP();
    qint64 touched = 0;
    while (!DBEOF()) {
        touched += FIELD("bench->vorname").toString().size();
        touched += FIELD("datum").toDate().day();
        touched += qint64(FIELD("betrag").toDouble());
        touched += FIELD("notiz").toString().size();
        DBSKIP(1);
    }
    if (touched == 42) std::puts("");  // keeps the reads
    return clock.nsecsElapsed() / 1e9;
}

// Takes the finished pages and drops them: the layout alone.
class DroppedPages : public PageSink {
  public:
    void addPage(RecordedPage page) override { texts_ += page.texts.size(); }

  private:
    qint64 texts_ = 0;
};

double LayOutOnce(const CompiledReport& report, bool toFiles, int* pages) {
    QElapsedTimer clock;
    clock.start();
    DBGOTOP();
    PageFolder folder;
    DroppedPages dropped;
    StoreRecords records;
    ReportLayoutSettings settings;
    settings.onEachRecord = EventsNowAndThen();
    *pages =
        LayOutReport(report, records, toFiles ? static_cast<PageSink&>(folder) : dropped, settings);
    return clock.nsecsElapsed() / 1e9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int records = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
#ifndef NDEBUG
    std::printf("WARNING: debug build, figures are not representative\n");
#endif
    std::printf("machine: %s, %s\n", qPrintable(QSysInfo::prettyProductName()),
                qPrintable(QSysInfo::currentCpuArchitecture()));
    SET_CENTURY(true);
    SET_DATEFORMAT("dd.mm.yyyy");
    SET_DELETED(true);

    QTemporaryDir folder;
    Fill(folder.filePath("bench.dbf"), records);
    auto compiled = CompileReport(ParseReportDefinition("bench", kDefinition));
    if (auto* why = std::get_if<QString>(&compiled)) {
        std::fprintf(stderr, "%s\n", qPrintable(*why));
        return 1;
    }
    const CompiledReport& report = std::get<CompiledReport>(compiled);

    std::vector<double> reads, layouts, recorded;
    int pages = 0;
    for (int run = 0; run < 5; ++run) {
        reads.push_back(ReadOnce());
        layouts.push_back(LayOutOnce(report, false, &pages));
        recorded.push_back(LayOutOnce(report, true, &pages));
    }
    const double read = Median(reads);
    const double layout = Median(layouts);
    const double withFiles = Median(recorded);
    std::printf("records: %d, pages: %d\n", records, pages);
    std::printf("reading the records from the store:        %.3f s\n", read);
    std::printf("laying out the report:                     %.3f s, %.0f pages/s, %.2fx reading\n",
                layout, pages / layout, layout / read);
    std::printf("laying out with the page files written:    %.3f s, %.0f pages/s, %.2fx reading\n",
                withFiles, pages / withFiles, withFiles / read);
    std::printf("goal: layout at most 10x reading\n");
    DBCLOSEALL();
    return 0;
}
