#include "shell/command_steps.h"

#include "apps/common/export_file.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "shell/language.h"
#include "shell/start_up.h"
#include "shell/trash.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QDir>

#include <cstdlib>

QTextStream& Out() {
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err() {
    static QTextStream err(stderr);
    return err;
}

QString Lines(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void EndCommandOnFault(const kesp::Fault& fault) {
    Err() << (fault.cutWhileOpen ? Lines(CUT_TABLE_TEXT(fault)) : fault.text()) << Qt::endl;
    std::exit(1);
}

void PrepareReadingCommand() {
    PREPARE_RUN(PROGRAM_FOLDER());
    kesp::SetFaultHandler(EndCommandOnFault);
    PEEK_STORED_LANG();
}

bool PrepareCommand() {
    PrepareReadingCommand();
    if (!CLAIM_DATA_FOLDER()) {
        Err() << Lines(DATA_IN_USE_TEXT()) << Qt::endl;
        return false;
    }
    // What a killed pack left is finished first, as at the start of the windows.
    const QString told = OPEN_TRASH(DATE());
    if (!told.isEmpty()) Err() << Lines(told) << Qt::endl;
    return true;
}

bool WriteCommandFile(const QString& path, const QByteArray& bytes, const QString& notWritten) {
    QString reason;
    if (WriteFileWhole(path, bytes, &reason)) return true;
    Err() << notWritten << '\n' << QDir::toNativeSeparators(path) << ": " << reason << Qt::endl;
    return false;
}
