#include "shell/start_up.h"

#include "shell/folders.h"
#include "shell/main_window.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/fault_handler.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QCoreApplication>

void START_UP(const QString& programFolder) {
    KESP_OPERATION();
    // Text "=" is the prefix comparison; records marked deleted are hidden;
    // dates have four-digit years ("dd/mm/yy" widened to "dd/mm/yyyy").
    SET_EXACT(false);
    SET_DELETED(true);
    SET_DATEFORMAT("dd/mm/yy");
    SET_CENTURY(true);

    THE_RECNO.clear();
    THE_ANZAHL = 0;
    CPESQ.clear();
    THE_LANG = "EN";
    THE_APP_NAME = "Varnel Kesp 2.0";
    THE_APP_NAME2 = "";
    KOPIERT = false;
    WAS = 0;
    THE_REC = 0;

    SET_FOLDERS(FoldersBeneath(programFolder));
    kesp::InstallProgramFaultHandler();
    SET_PICTURE_FOLDER(THE_APP_PATH);
}

void MAIN() {
    KESP_OPERATION();
    START_UP(QCoreApplication::applicationDirPath());
    DEFINE_HAUPT();
    DOMETHOD("haupt", "Center");
    _ACTIVATEWINDOW("haupt");
}
