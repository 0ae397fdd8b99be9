// The birthday tests' starting point: the address fixture's tables, the
// report definitions of the build in the application folder, and the
// telephone and e-mail of a person written straight into the table.
#pragma once

#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"

#include <QFile>

class BirthdayFixture : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        for (const char* report : {"xxrep_geb.rpt", "xxrep_geb_en.rpt", "xxrep_geb_br.rpt"})
            ASSERT_TRUE(QFile::copy(QString(KESP_APP_DIR) + "/" + report, folder_.filePath(report)))
                << report;
    }

    // The persons every birthday test knows, as records 1 to 4: Anna (listed,
    // 20 March, stored before andreas), andreas (listed, 5 March), Bernd (not
    // listed, March too) and Carla (listed, without a birth date); then `more`.
    void CreatePersons(const QList<AddressRow>& more) {
        QList<AddressRow> rows{{.vorname = "Anna",
                                .nachname = "Albers",
                                .geburtstag = QDate(1970, 3, 20),
                                .liste = true},
                               {.vorname = "andreas",
                                .nachname = "Brandt",
                                .geburtstag = QDate(1985, 3, 5),
                                .liste = true},
                               {.vorname = "Bernd", .geburtstag = QDate(1960, 3, 10)},
                               {.vorname = "Carla", .nachname = "Conti", .liste = true}};
        CreatePrivateBook(rows + more);
    }

    // Telephone and e-mail of the stored record `number`.
    void SetContact(int number, const QString& tel, const QString& email) {
        DBUSEAREA(true, dataPath() + "adressen_p.dbf", "contact");
        DBGOTO(number);
        REPLACE("TEL", tel);
        REPLACE("EMAIL", email);
        DBCOMMIT();
        DBCLOSEAREA();
    }
};
