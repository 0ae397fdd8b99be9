#include "shell/language.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/statistics.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_names.h"
#include "store/table_file_check.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

namespace {

// The three codes the program writes; anything else reads as English.
QString RecognisedCode(const QString& stored) {
    for (const char* code : {"DE", "AM", "BR"})
        if (EQ(stored, code)) return code;
    return "AM";
}

// The date format and the locale of the calendars and of Qt's own texts go
// with the language.
void FollowLanguage() {
    SET_DATEFORMAT(LANG_DATEFORMAT());
    SET_INTERFACE_LOCALE(LANG_LOCALE());
}

}  // namespace

void APPLY_STORED_LANG() {
    KESP_OPERATION();
    DBUSEAREA(false, THE_DATA_PATH + "startlang.dbf", "stl");
    const QString stored = FIELD("stl->LANG").toString();
    DBCLOSEALL();
    THE_LANG = RecognisedCode(stored);
    FollowLanguage();
}

void PEEK_STORED_LANG() {
    KESP_OPERATION();
    const QString path = THE_DATA_PATH + "startlang.dbf";
    // A damaged table is passed by: the start must still say what is wrong.
    if (!kesp::store::FileExists(path) || !kesp::store::TableFileDamage(path).isEmpty()) return;
    try {
        const auto table =
            kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect);
        const int field = table ? table->FieldIndex("LANG") : -1;
        if (field < 0 || table->RecordCount() == 0) return;
        THE_LANG = RecognisedCode(table->Read(1, field).toString());
        SET_DATEFORMAT(LANG_DATEFORMAT());
    } catch (const kesp::FaultException&) {
        // Not readable: the start-up message stays in the language it has.
    }
}

QString LANG_LOCALE() {
    return TEXT({"de_DE", "en_US", "pt_BR"});
}

QString LANG_FLAG() {
    return TEXT({"img/de.bmp", "img/en.bmp", "img/br.bmp"});
}

void CHANGE_LANG(const QString& code) {
    KESP_OPERATION();
    THE_LANG = code;

    DBUSEAREA(false, THE_DATA_PATH + "startlang.dbf", "stl");
    // An emptied table would swallow the choice (a write at end-of-file
    // changes nothing), so it gets its one record back.
    if (DBEOF()) DBAPPEND();
    REPLACE("stl->LANG", code);
    DBCOMMIT();
    DBCLOSEALL();

    FollowLanguage();
    SETPROPERTY("haupt", "Image_1", "Picture", LANG_FLAG());
    MSGBOX(TEXT({"Sprache=Deutsch", "Language=english", "Idioma=Portugues"}), THE_APP_NAME);

    HAUPT_STATISTIK();
}
