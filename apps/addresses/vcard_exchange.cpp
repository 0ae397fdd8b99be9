#include "apps/addresses/vcard_exchange.h"

#include "apps/addresses/business_operations.h"
#include "apps/addresses/private_operations.h"
#include "apps/addresses/vcard_uids.h"
#include "apps/addresses/vcard_updates.h"
#include "apps/common/import_file.h"
#include "apps/common/record_versions.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/number_followers.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kCaptionsAlias = QStringLiteral("vcardcaptions");

// The live records of the book by person; the pointer stays.
SamePersonIndex PeopleOf(const VCardBook& book, const QString& alias) {
    SamePersonIndex people;
    DBEVALLIVE([&] { people.add(RECNO(), ValuesOfRecord(book, alias)); });
    return people;
}

// "Anna Weiß (49 MB)": whose memo was cut, and how long it was.
QString CutMemoName(const RecordFromCard& record) {
    QString name = (record.values.value("VORNAME").toString().trimmed() + u' ' +
                    record.values.value("NACHNAME").toString().trimmed())
                       .trimmed();
    if (name.isEmpty()) name = QStringLiteral("?");
    const qsizetype megabytes = (record.memoWhole + kImportedMemoMax - 1) / kImportedMemoMax;
    return name + QStringLiteral(" (%1 MB)").arg(megabytes);
}

// "line 14 (card without END:VCARD)" in the interface language.
QString DamageText(const VCardDamage& damage) {
    Texts why{"Text außerhalb einer Karte", "text outside a card", "texto fora de um cartão"};
    if (damage.why == VCardProblem::NoProperty)
        why = {"Zeile ohne vCard-Eigenschaft", "a line that is no vCard property",
               "linha que não é propriedade vCard"};
    else if (damage.why == VCardProblem::CardNotEnded)
        why = {"Karte ohne END:VCARD", "card without END:VCARD", "cartão sem END:VCARD"};
    else if (damage.why == VCardProblem::EndWithoutBegin)
        why = {"END:VCARD ohne BEGIN:VCARD", "END:VCARD without BEGIN:VCARD",
               "END:VCARD sem BEGIN:VCARD"};
    return TEXT({"Zeile %1 (%2)", "line %1 (%2)", "linha %1 (%2)"}).arg(damage.line).arg(TEXT(why));
}

// The cards are in the book, their UIDs written ahead beside the UID table
// only: the next import or export of the book keeps them.
QString UidsKeptLaterText(const kesp::WriteFailure& failure) {
    const kesp::Fault& fault = failure.fault();
    const QString reason = fault.osCode != 0 ? WRITE_FAILURE_REASON(fault.osCode) : fault.reason();
    return TEXT({"Die Karten sind gespeichert. Die Datei %1 konnte danach aber nicht geschrieben "
                 "werden: %2.\r"
                 "Das Programm holt das beim nächsten vCard-Import oder -Export dieses "
                 "Adressbuchs nach; ein neuer Import derselben Karten fügt sie nicht noch einmal "
                 "hinzu. Bitte schaffen Sie Platz oder prüfen Sie den Datenträger.",
                 "The cards are stored. The file %1 could not be written afterwards, though: "
                 "%2.\r"
                 "The program does that at the next vCard import or export of this address book; "
                 "importing the same cards again will not add them twice. Free some space or "
                 "check the drive.",
                 "Os cartões foram gravados. Mas depois não foi possível gravar o arquivo %1: "
                 "%2.\r"
                 "O programa fará isso na próxima importação ou exportação de vCards deste "
                 "catálogo de endereços; importar os mesmos cartões de novo não os incluirá "
                 "outra vez. Libere espaço ou verifique a unidade."})
        .arg(QDir::toNativeSeparators(fault.fileName), reason);
}

}  // namespace

AddressBookShape BookShapeOf(const VCardBook& book, const QString& alias) {
    AddressBookShape shape{.kind = book.kind};
    for (const QString& field : AddressFieldsOf(book.kind))
        if (FIELDTYPE(alias + "->" + field) == u'C')
            shape.widths[field] = int(FIELD(alias + "->" + field).toString().size());
    shape.captions = ReadBookCaptions(book);
    return shape;
}

AddressValues ValuesOfRecord(const VCardBook& book, const QString& alias) {
    AddressValues values;
    for (const QString& field : AddressFieldsOf(book.kind))
        values[field] = FIELD(alias + "->" + field);
    return values;
}

QString NameKeyOfRecord(const QString& alias) {
    return CardNameKey(FIELD(alias + "->VORNAME").toString(),
                       FIELD(alias + "->NACHNAME").toString());
}

// The name keys of the records not marked deleted; the pointer stays.
QHash<int, QString> LiveNames(const QString& alias) {
    QHash<int, QString> names;
    DBEVALLIVE([&] { names[RECNO()] = NameKeyOfRecord(alias); });
    return names;
}

QStringList ReadBookCaptions(const VCardBook& book) {
    QStringList captions;
    const int previous = SELECT();
    const QString path = THE_DATA_PATH + book.captionsTable;
    if (QFileInfo::exists(path)) {
        DBUSEAREA(true, path, kCaptionsAlias);
        DBGOTOP();
        for (int n = 1; n <= 10; ++n)
            captions.append(
                FIELD(kCaptionsAlias + QStringLiteral("->FREE%1").arg(n)).toString().trimmed());
        DBCLOSEAREA();
    }
    DBSELECTAREA(previous);
    return captions;
}

const VCardBook& PrivateVCardBook() {
    static const VCardBook book{.kind = AddressBookKind::Private,
                                .table = PrivateBookNames().table,
                                .captionsTable = PrivateBookNames().captionsTable,
                                .uidTable = "vcard_p.dbf",
                                .fileName = {"Kontakte.vcf", "Contacts.vcf", "Contatos.vcf"}};
    return book;
}

const VCardBook& BusinessVCardBook() {
    static const VCardBook book{.kind = AddressBookKind::Business,
                                .table = BusinessBookNames().table,
                                .captionsTable = BusinessBookNames().captionsTable,
                                .uidTable = "vcard_g.dbf",
                                .fileName = {"Firmen.vcf", "Business.vcf", "Empresas.vcf"}};
    return book;
}

namespace {

// The UID tables hold the books' record numbers: every pack of a book in this
// program renumbers them, so that a UID stays with its record (vcard_uids.h).
[[maybe_unused]] const bool kUidTablesFollowPacks = [] {
    for (const VCardBook* book : {&PrivateVCardBook(), &BusinessVCardBook()})
        kesp::store::FollowRecordNumbers({book->table, book->uidTable, QStringLiteral("SATZ")});
    return true;
}();

}  // namespace

QByteArray VCardFileOfView(const VCardBook& book, const QString& alias, VCardVersion version,
                           int* cards) {
    const AddressBookShape shape = BookShapeOf(book, alias);
    CardIdentities uids(THE_DATA_PATH + book.uidTable, LiveNames(alias));
    const int current = RECNO();
    QList<VCard> written;
    DBGOTOP();
    while (!DBEOF()) {
        written.append(
            CardOfRecord(shape, ValuesOfRecord(book, alias), uids.uidOf(RECNO()), version));
        DBSKIP(1);
    }
    DBGOTO(current);
    uids.write();
    if (cards) *cards = int(written.size());
    return WriteVCards(written, version);
}

VCardImport ImportVCardFile(const VCardBook& book, const QString& alias, const QString& path) {
    const ImportFileReading file = ReadImportFile(path);
    if (file.problem != ImportFileProblem::None)
        return {.problem = ImportRefusalText(path, file.problem)};
    return ImportVCards(book, alias, file.bytes, path);
}

VCardImport ImportVCards(const VCardBook& book, const QString& alias, const QByteArray& bytes,
                         const QString& path) {
    VCardImport import;
    const VCardReading reading = ReadVCards(bytes);
    if (reading.problem != VCardProblem::None) {
        Texts why{"Sie enthält keine lesbaren vCards.", "It holds no readable vCards.",
                  "Ele não contém vCards legíveis."};
        if (reading.problem == VCardProblem::Binary)
            why = {"Sie ist keine Textdatei.", "It is not a text file.",
                   "Ele não é um arquivo de texto."};
        QString text = TEXT(why);
        if (reading.problemLine > 0)
            text += TEXT({" (Zeile %1)", " (line %1)", " (linha %1)"}).arg(reading.problemLine);
        import.problem = ImportRefusalText(path, text);
        return import;
    }
    for (const VCardDamage& damage : reading.skipped) {
        import.damaged.append(DamageText(damage));
        ++import.skipped;
    }
    const AddressBookShape shape = BookShapeOf(book, alias);
    CardIdentities uids(THE_DATA_PATH + book.uidTable, LiveNames(alias));
    const QStringList fields = AddressFieldsOf(book.kind);
    SamePersonIndex people = PeopleOf(book, alias);
    for (const VCard& card : reading.cards) {
        const RecordFromCard record = RecordOfCard(shape, card);
        import.media += record.media;
        if (record.empty) {
            ++import.skipped;
            continue;
        }
        import.memoValues += record.memoValues;
        import.lettersReplaced += record.lettersReplaced;
        if (record.birthdayRemembered) ++import.birthdaysRemembered;
        if (record.memoWhole > 0) import.memosCut.append(CutMemoName(record));
        // A UID names a record of this book only in cards of this book or of
        // other programs: the other book's cards carry its own records' UIDs.
        const bool uidOfThisBook = record.book.isEmpty() || record.book == BookName(book.kind);
        int known = record.uid.isEmpty() || !uidOfThisBook ? 0 : uids.recordOf(record.uid);
        if (known == 0) known = people.recordOf(record.values);
        if (known > 0) {
            DBGOTO(known);
            const AddressValues earlier = ValuesOfRecord(book, alias);
            const std::optional<AddressValues> updated = UpdatedByCard(earlier, record, fields);
            if (!updated) {
                ++import.unchanged;
            } else {
                // The earlier version stays as a deleted copy: Ctrl+Z in the
                // window brings it back, and a pack keeps it in the trash.
                import.replaced.append({known, KeepEarlierVersion(known)});
                DBGOTO(known);
                for (const QString& field : fields)
                    REPLACE(alias + "->" + field, updated->value(field));
                ++import.updated;
            }
        } else {
            DBAPPEND();
            for (const QString& field : fields)
                REPLACE(alias + "->" + field, record.values.value(field));
            people.add(RECNO(), record.values);
            ++import.added;
        }
        if (!record.uid.isEmpty() && uidOfThisBook)
            uids.remember(record.uid, RECNO(), NameKeyOfRecord(alias));
    }
    // The UIDs are written ahead before the records are committed, so that
    // the records never stand in the book without them (vcard_uids.h).
    try {
        uids.writeAhead();
    } catch (const kesp::WriteFailure&) {
        DBROLLBACK();
        throw;
    }
    try {
        DBCOMMIT();
    } catch (const kesp::WriteFailure&) {
        uids.dropWrittenAhead();
        throw;
    }
    import.read = true;
    try {
        uids.write();
    } catch (const kesp::WriteFailure& failure) {
        import.uidsNotKept = UidsKeptLaterText(failure);
    }
    return import;
}

QString VCardImportSummary(const VCardImport& import) {
    if (!import.read) return import.problem;
    QStringList lines{
        COUNTED(import.added, {"%1 Karte neu aufgenommen", "%1 card added", "%1 cartão incluído"},
                {"%1 Karten neu aufgenommen", "%1 cards added", "%1 cartões incluídos"}) +
        TEXT({", ", ", ", ", "}) +
        COUNTED(
            import.updated,
            {"%1 vorhandene aktualisiert", "%1 existing one updated", "%1 existente atualizado"},
            {"%1 vorhandene aktualisiert", "%1 existing ones updated",
             "%1 existentes atualizados"}) +
        (import.unchanged == 0
             ? QString()
             : TEXT({", ", ", ", ", "}) +
                   COUNTED(import.unchanged, {"%1 unverändert", "%1 unchanged", "%1 inalterado"},
                           {"%1 unverändert", "%1 unchanged", "%1 inalterados"})) +
        TEXT({", ", ", ", ", "}) +
        COUNTED(import.skipped, {"%1 übersprungen.", "%1 skipped.", "%1 ignorado."},
                {"%1 übersprungen.", "%1 skipped.", "%1 ignorados."})};
    if (!import.damaged.isEmpty())
        lines.append(TEXT({"Beschädigt und übersprungen: %1", "Damaged and skipped: %1",
                           "Danificados e ignorados: %1"})
                         .arg(import.damaged.join(QStringLiteral(", "))));
    if (import.memoValues > 0)
        lines.append(COUNTED(import.memoValues,
                             {"%1 Wert ohne passendes Feld steht in den Notizen.",
                              "%1 value without a fitting field was put in the notes.",
                              "%1 valor sem campo adequado foi colocado nas notas."},
                             {"%1 Werte ohne passendes Feld stehen in den Notizen.",
                              "%1 values without a fitting field were put in the notes.",
                              "%1 valores sem campo adequado foram colocados nas notas."}));
    if (import.lettersReplaced > 0)
        lines.append(COUNTED(import.lettersReplaced,
                             {"%1 Wert wurde mit ersetzten Buchstaben gespeichert; das Original "
                              "steht in den Notizen.",
                              "%1 value was stored with letters replaced; the original is in the "
                              "notes.",
                              "%1 valor foi gravado com letras substituídas; o original está nas "
                              "notas."},
                             {"%1 Werte wurden mit ersetzten Buchstaben gespeichert; die Originale "
                              "stehen in den Notizen.",
                              "%1 values were stored with letters replaced; the originals are in "
                              "the notes.",
                              "%1 valores foram gravados com letras substituídas; os originais "
                              "estão nas notas."}));
    if (import.media > 0)
        lines.append(COUNTED(import.media,
                             {"%1 Foto, Schlüssel oder Ton wurde nicht übernommen.",
                              "%1 photo, key or sound was not taken over.",
                              "%1 foto, chave ou som não foi importado."},
                             {"%1 Fotos, Schlüssel oder Töne wurden nicht übernommen.",
                              "%1 photos, keys or sounds were not taken over.",
                              "%1 fotos, chaves ou sons não foram importados."}));
    if (import.birthdaysRemembered > 0)
        lines.append(COUNTED(import.birthdaysRemembered,
                             {"%1 Geburtstag wird unter „Demnächst“ gezeigt.",
                              "%1 birthday will show under “Coming up”.",
                              "%1 aniversário será mostrado em “Próximos dias”."},
                             {"%1 Geburtstage werden unter „Demnächst“ gezeigt.",
                              "%1 birthdays will show under “Coming up”.",
                              "%1 aniversários serão mostrados em “Próximos dias”."}));
    if (!import.memosCut.isEmpty())
        lines.append(TEXT({"Notizen über 1 MB wurden dort abgeschnitten, der Rest nicht "
                           "übernommen: %1",
                           "Notes over 1 MB were cut there, the rest was not taken over: %1",
                           "Notas acima de 1 MB foram cortadas ali, o resto não foi importado: %1"})
                         .arg(import.memosCut.join(QStringLiteral(", "))));
    if (!import.uidsNotKept.isEmpty()) lines.append(import.uidsNotKept);
    return lines.join(u'\r');
}

QString VCardExportSummary(int cards, VCardVersion version, const QString& path) {
    return COUNTED(cards,
                   {"%1 Karte (vCard %2) wurde geschrieben:", "%1 card (vCard %2) written:",
                    "%1 cartão (vCard %2) foi gravado:"},
                   {"%1 Karten (vCard %2) wurden geschrieben:", "%1 cards (vCard %2) written:",
                    "%1 cartões (vCard %2) foram gravados:"})
               .arg(version == VCardVersion::V30 ? "3.0" : "4.0") +
           "\r" + QDir::toNativeSeparators(path);
}
