#include "kernel/problem_texts.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/cut_table.h"
#include "toolkit/date_picker.h"
#include "toolkit/storable_text.h"

#include <QDir>

#include <cerrno>
#include <cstring>

QString WRITE_FAILURE_REASON(int osCode) {
    switch (osCode) {
        case ENOSPC:
            return TEXT({"Kein Speicherplatz mehr auf dem Datenträger",
                         "No space left on the drive", "Não há mais espaço livre na unidade"});
        case EDQUOT:
            return TEXT({"Ihr Speicherkontingent ist erschöpft", "Your disk quota is used up",
                         "Sua cota de disco se esgotou"});
        case EFBIG:
            return TEXT({"Die Datei hat die erlaubte Größe erreicht",
                         "The file has reached the size allowed",
                         "O arquivo atingiu o tamanho permitido"});
        case EIO:
            return TEXT({"Ein-/Ausgabefehler des Datenträgers", "Input/output error of the drive",
                         "Erro de entrada/saída da unidade"});
        case EROFS:
            return TEXT({"Der Datenträger ist schreibgeschützt", "The drive is read-only",
                         "A unidade está protegida contra gravação"});
        case EACCES:
        case EPERM:
            return TEXT({"Zugriff verweigert", "Permission denied", "Permissão negada"});
        case ENODEV:
        case ENXIO:
        case ENOENT:
            return TEXT({"Der Datenträger ist nicht mehr vorhanden", "The drive is gone",
                         "A unidade não está mais disponível"});
        default:
            return QString::fromLocal8Bit(std::strerror(osCode));
    }
}

QString WRITE_FAILURE_TEXT(const kesp::WriteFailure& failure) {
    const kesp::Fault& fault = failure.fault();
    const QString reason = fault.osCode != 0 ? WRITE_FAILURE_REASON(fault.osCode) : fault.reason();
    return TEXT({"Die Datei %1 konnte nicht geschrieben werden: %2.\r"
                 "Die Tabelle ist so, wie sie zuletzt gespeichert wurde. Bitte schaffen Sie "
                 "Platz oder prüfen Sie den Datenträger und versuchen Sie es dann noch einmal.",
                 "The file %1 could not be written: %2.\r"
                 "The table is as it was when last saved. Free some space or check the drive, "
                 "then try again.",
                 "Não foi possível gravar o arquivo %1: %2.\r"
                 "A tabela está como foi salva pela última vez. Libere espaço ou verifique a "
                 "unidade e tente novamente."})
        .arg(QDir::toNativeSeparators(fault.fileName), reason);
}

QString WRITE_FAILURE_AFTER_SAVE_TEXT(const kesp::WriteFailure& failure) {
    const kesp::Fault& fault = failure.fault();
    const QString reason = fault.osCode != 0 ? WRITE_FAILURE_REASON(fault.osCode) : fault.reason();
    return TEXT({"Der Eintrag ist gespeichert. Die Datei %1 konnte danach aber nicht geschrieben "
                 "werden: %2.\r"
                 "Das Programm holt das beim nächsten Öffnen des Fensters nach. Bitte schaffen "
                 "Sie Platz oder prüfen Sie den Datenträger.",
                 "The record is saved. The file %1 could not be written afterwards, though: %2.\r"
                 "The program does that the next time the window opens. Free some space or "
                 "check the drive.",
                 "O registro foi salvo. Mas depois não foi possível gravar o arquivo %1: %2.\r"
                 "O programa fará isso na próxima vez que a janela for aberta. Libere espaço ou "
                 "verifique a unidade."})
        .arg(QDir::toNativeSeparators(fault.fileName), reason);
}

QString CUT_TABLE_TEXT(const kesp::Fault& fault) {
    return TEXT({"Die Tabelle %1 wurde von einem anderen Programm gekürzt, während sie geöffnet "
                 "war, und kann nicht mehr gelesen werden. In die Tabelle wurde nichts "
                 "geschrieben.\r"
                 "Bitte schließen Sie das andere Programm und reparieren Sie die Tabelle mit: "
                 "kesp-dbf repair %1",
                 "The table %1 was cut short by another program while it was open and can no "
                 "longer be read. Nothing was written to the table.\r"
                 "Close the other program, then repair the table with: kesp-dbf repair %1",
                 "A tabela %1 foi encurtada por outro programa enquanto estava aberta e não pode "
                 "mais ser lida. Nada foi gravado na tabela.\r"
                 "Feche o outro programa e depois repare a tabela com: kesp-dbf repair %1"})
        .arg(QDir::toNativeSeparators(fault.fileName));
}

QString UNSTORABLE_TEXT_HINT(const QString& leftOut) {
    return TEXT({"Nicht speicherbar, weggelassen: %1", "Cannot be stored, left out: %1",
                 "Não pode ser gravado, omitido: %1"})
        .arg(leftOut);
}

QString NO_DATE_HINT(const QString& typed) {
    return TEXT({"Kein gültiges Datum: %1. Bitte korrigieren; Esc stellt das vorige Datum wieder "
                 "her.",
                 "Not a valid date: %1. Please correct it; Esc restores the previous date.",
                 "Data inválida: %1. Corrija-a; Esc restaura a data anterior."})
        .arg(typed);
}

void INSTALL_PROBLEM_TEXTS() {
    kesp::SetWriteFailureNotice([](const kesp::WriteFailure& failure) {
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure), THE_APP_NAME);
    });
    kesp::SetCutTableNotice([](const kesp::Fault& fault) {
        MSGEXCLAMATION(CUT_TABLE_TEXT(fault) + QLatin1Char('\r') +
                           TEXT({"Das Fenster, das sie zeigte, wurde geschlossen; alles andere "
                                 "ist, wie es war.",
                                 "The window showing it was closed; everything else is as it "
                                 "was.",
                                 "A janela que a mostrava foi fechada; todo o resto está como "
                                 "estava."}),
                       THE_APP_NAME);
    });
    kesp::SetUnstorableTextHint(UNSTORABLE_TEXT_HINT);
    kesp::SetNoDateHint(NO_DATE_HINT);
}
