#include "shell/statistics.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/system_facts.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QList>

#include <functional>

namespace {

// An empty date has day 0 and so never falls on today.
bool FallsOnToday(const QVariant& date) {
    const QDate day = date.toDate();
    return DAY(day) == DAY(DATE()) && MONTH(day) == MONTH(DATE());
}

// A birthday on 29 February is celebrated on 28 February in the years
// without a 29 February.
bool BirthdayFallsOnToday(const QVariant& date) {
    if (FallsOnToday(date)) return true;
    const QDate day = date.toDate();
    const QDate today = DATE();
    return MONTH(day) == 2 && DAY(day) == 29 && MONTH(today) == 2 && DAY(today) == 28 &&
           !QDate::isLeapYear(YEAR(today));
}

struct Step {
    QString file;
    QString alias;
    Condition counted;  // empty: every record counts
    // Count by RECCOUNT after the pack: every record counts, and the pack has
    // removed the deleted ones (the word list's hundreds of thousands of
    // pairs are counted without walking them).
    bool recordCount;
    QString label;
    int progress;
    Texts status;
    Texts suffix;
};

const QList<Step>& Steps() {
    static const QList<Step> steps = {
        {"adressen_p.dbf",
         "stat1",
         {},
         true,
         "lbl_1",
         0,
         {"Adressen [Privat] wird aktualisiert", "Update Contacts [friends]",
          "Endereços [Amigos] estão sendo atualizados"},
         {" Adressen [Privat]", " Contacts [friends]", " Endereços [Amigos]"}},
        {"adressen_p.dbf",
         "stat2",
         [] {
             return FIELD("stat2->LISTE").toBool() &&
                    BirthdayFallsOnToday(FIELD("stat2->GEBURTSTAG"));
         },
         false,
         "lbl_2",
         10,
         {"Geburtstag [Heute] wird aktualisiert", "Update birthday [today]",
          "Aniversários [Hoje] estão sendo atualizados"},
         {" Geburtstag [Heute]", " Birthday [today]", " Aniversários [Hoje]"}},
        {"adressen_g.dbf",
         "stat3",
         {},
         true,
         "lbl_3",
         20,
         {"Adressen [Gechäftl.] wird aktualisiert", "Update Contacts [business]",
          "Endereços [Comerciais] estão sendo atualizados"},
         {" Adressen [Gechäftl.]", " Contacts [business]", " Endereços [Comerciais]"}},
        {"agenda.dbf",
         "stat4",
         [] { return FallsOnToday(FIELD("stat4->DATUM")); },
         false,
         "lbl_4",
         30,
         {"Termine [heute] wird aktualisiert", "Update appointments [today]",
          "Compromissos [Hoje] estão sendo atualizados"},
         {" Termine [heute]", " Appointments [today]", " Compromissos [Hoje]"}},
        {"notiz.dbf",
         "stat5",
         [] { return FallsOnToday(FIELD("stat5->DATUM")); },
         false,
         "lbl_5",
         40,
         {"Notizen [heute] wird aktualisiert", "Update notes [today]",
          "Lembretes [Hoje] estão sendo atualizados"},
         {" Notizen [heute]", " Notes [today]", " Lembretes [Hoje]"}},
        {"projekt.dbf",
         "stat6",
         [] { return FallsOnToday(FIELD("stat6->DATUME")); },
         false,
         "lbl_6",
         50,
         {"Projekte [heute fertig] wird aktualisiert", "Update projects [deadline today]",
          "Projetos [Prontos p/ hoje] estão sendo atualizados"},
         {" Projekte [heute fertig]", " Projects [deadline today]", " Projetos [Prontos p/ hoje]"}},
        {"internet.dbf",
         "stat7",
         {},
         true,
         "lbl_7",
         50,
         {"[Bookmarks] wird aktualisiert", "Update [bookmarks]",
          "[Bookmarks] estão sendo atualizados"},
         {" [Bookmarks]", " [bookmarks]", " [Bookmarks]"}},
        {"Tricks.dbf",
         "stat8",
         {},
         true,
         "lbl_8",
         60,
         {"[Tipps und Tricks] wird aktualisiert", "Update [Tips & Tricks]",
          "[Macetes] estão sendo atualizados"},
         {" [Tipps und Tricks]", " [Tips and Tricks]", " [Macetes]"}},
        {"de_en.dbf",
         "stat9",
         {},
         true,
         "lbl_9",
         70,
         {"[Wörter] wird aktualisiert", "Update [dictionary]",
          "[Dicionários] estão sendo atualizados"},
         {" [Wörter]", " [words]", " [Palavras]"}},
        {"kespfree.dbf",
         "stat12",
         {},
         true,
         "lbl_12",
         100,
         {"[Daten] wird aktualisiert", "Update [Data]", "[Dados] estão sendo atualizados"},
         {" [Daten]", " [Data]", " [Dados]"}},
    };
    return steps;
}

void CountStep(const Step& step) {
    THE_ANZAHL = 0;
    SETPROPERTY("haupt", "Label_36", "Value", TEXT(step.status));
    SETPROPERTY("haupt", "ProgressBar_4", "Value", step.progress);
    DBUSEAREA(false, THE_DATA_PATH + step.file, step.alias);
    __DBPACK();
    if (step.recordCount)
        THE_ANZAHL = RECCOUNT();
    else
        DBEVAL([] { THE_ANZAHL += 1; }, step.counted);
    SETPROPERTY("haupt", step.label, "Value",
                QString::number(static_cast<long long>(THE_ANZAHL)) + TEXT(step.suffix));
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

void HAUPT_STATISTIK() {
    KESP_OPERATION();
    APPLY_STORED_LANG();
    HAUPT_TEXTE();

    for (const Step& step : Steps())
        CountStep(step);

    ShowOwnApplicationName();
    ShowBirthDate();
    SETPROPERTY("haupt", "Label_36", "Value",
                TEXT({"Zuletzt aktualisiert: ", "Last update: ", "Última atualização: "}) +
                    DTOC(DATE()) + " " + TIME().toString("hh:mm:ss"));

    HOLE_SYS();
}
