// The address books' tables for the vCard tests: books filled with every
// field, opened, exported and imported as the windows and the command line
// do, and cards typed in for the import.
#pragma once

#include "apps/addresses/vcard_exchange.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"

#include <QFile>

inline const QString kAlias = "adressen";

// Records with every field given, the extra fields of all ten kinds, memos
// with line breaks, separators and characters of Windows-1252.
inline QList<AddressValues> FilledRecords(AddressBookKind kind) {
    QList<AddressValues> records;
    for (int i = 0; i < 3; ++i) {
        AddressValues r{
            {"VORNAME", QString("Jürgen%1; \"Jo\"").arg(i)},
            {"NACHNAME", "Weiß, Söhne \\ Co"},
            {"STRASSE", "Ölweg 5"},
            {"PLZ", "12345"},
            {"ORT", "Köln"},
            {"TEL", QString("+49 221 %1").arg(i)},
            {"HANDY", "0170 2"},
            {"FAX", "0221 3"},
            {"EMAIL", QString("j%1@example.org").arg(i)},
            {"TELFIRMA", "0221 4"},
            {"FAXFIRMA", "0221 5"},
            {"EMAILFIRMA", "jw@example.com"},
            {"FREE01", "Jo: €uro ‰"},
            {"FREE02", "Anna"},
            {"FREE03", "Ben, Carl"},
            {"FREE04", "Segeln; Lesen"},
            {"FREE05", "https://example.org/a;b"},
            {"FREE06", i != 1},
            {"FREE07", i == 1},
            {"FREE08", true},
            {"FREE09", i == 2 ? QDate() : QDate(2001, 6, 30 - i)},
            {"FREE10", "Zeile eins;\r\nZeile, zwei \\ Ende\r\n„ß“ – ok " + QString::number(i)}};
        if (kind == AddressBookKind::Private) {
            r["FIRMA"] = "Müller & Co; KG";
            r["GEBURTSTAG"] = i == 0 ? QDate(1904, 2, 29) : QDate(1970 + i, 12, 31);
            r["LISTE"] = i != 2;
        }
        records.append(r);
    }
    return records;
}

class VCardExchange : public AddressFixture {
  protected:
    void OpenBook(const VCardBook& book) {
        DBCLOSEALL();
        DBSELECTAREA("a");
        DBUSEAREA(false, dataPath() + book.table, kAlias);
    }

    void Fill(const VCardBook& book, const QList<AddressValues>& records) {
        OpenBook(book);
        for (const AddressValues& record : records) {
            DBAPPEND();
            for (auto it = record.cbegin(); it != record.cend(); ++it)
                REPLACE(kAlias + "->" + it.key(), it.value());
        }
        DBCOMMIT();
    }

    // Every record not marked deleted, values as the table gives them back.
    QList<AddressValues> Stored(const VCardBook& book) {
        OpenBook(book);
        QList<AddressValues> records;
        DBGOTOP();
        while (!DBEOF()) {
            AddressValues r;
            for (const QString& field : AddressFieldsOf(book.kind)) {
                const QVariant v = FIELD(kAlias + "->" + field);
                r[field] = v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
            }
            records.append(r);
            DBSKIP(1);
        }
        return records;
    }

    QString Export(const VCardBook& book, VCardVersion version, const QString& name) {
        OpenBook(book);
        const QByteArray bytes = VCardFileOfView(book, kAlias, version);
        QFile file(exportPath() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    VCardImport Import(const VCardBook& book, const QString& path) {
        OpenBook(book);
        const VCardImport import = ImportVCardFile(book, kAlias, path);
        DBCLOSEALL();
        return import;
    }

    QString Written(const QString& name, const QByteArray& bytes) {
        QFile file(exportPath() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
};

// A card of the name, with a telephone number and a note when given.
inline QByteArray Card(const QString& uid, const QString& family, const QString& given,
                       const QString& tel = {}, const QString& note = {}) {
    QString card = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:" + family + ";" + given + ";;;\r\n";
    if (!tel.isEmpty()) card += "TEL;TYPE=home:" + tel + "\r\n";
    if (!note.isEmpty()) card += "NOTE:" + note + "\r\n";
    return (card + "UID:" + uid + "\r\nEND:VCARD\r\n").toUtf8();
}
