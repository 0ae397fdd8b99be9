#include "apps/common/dav_sync_summary.h"

#include "kernel/texts.h"

QString DavSyncCountsLine(const QString& name, int sent, int received, int trashedHere,
                          int deletedThere) {
    return TEXT({"%1: %2 gesendet, %3 empfangen, %4 hier in den Papierkorb, %5 auf dem Server "
                 "gelöscht.",
                 "%1: %2 sent, %3 received, %4 moved to the trash here, %5 deleted on the server.",
                 "%1: %2 enviados, %3 recebidos, %4 movidos para a lixeira aqui, %5 excluídos no "
                 "servidor."})
        .arg(name)
        .arg(sent)
        .arg(received)
        .arg(trashedHere)
        .arg(deletedThere);
}

QString DavSyncSummary(const QString& name, const DavSyncResult& result,
                       const DavSyncApplied& applied) {
    if (applied.inUse)
        return TEXT({"%1: wartet, bis das Fenster geschlossen ist.",
                     "%1: waits until its window is closed.",
                     "%1: aguarda até a janela ser fechada."})
            .arg(name);
    QStringList lines{DavSyncCountsLine(name, result.sent, applied.changed + applied.added,
                                        applied.trashed, result.deletedThere)};
    if (!result.conflicted.isEmpty())
        lines.append(TEXT({"Auf beiden Seiten geändert (hier gilt die eigene Fassung): %1",
                           "Changed on both sides (this computer's version stands): %1",
                           "Alterados dos dois lados (vale a versão deste computador): %1"})
                         .arg(result.conflicted.join(QStringLiteral(", "))));
    if (applied.leftForLater > 0)
        lines.append(COUNTED(applied.leftForLater,
                             {"%1 Eintrag wurde währenddessen hier geändert; er folgt beim "
                              "nächsten Abgleich.",
                              "%1 entry was changed here meanwhile; it follows at the next sync.",
                              "%1 item foi alterado aqui enquanto isso; ele segue na próxima "
                              "sincronização."},
                             {"%1 Einträge wurden währenddessen hier geändert; sie folgen beim "
                              "nächsten Abgleich.",
                              "%1 entries were changed here meanwhile; they follow at the next "
                              "sync.",
                              "%1 itens foram alterados aqui enquanto isso; eles seguem na "
                              "próxima sincronização."}));
    return lines.join(u'\r');
}
