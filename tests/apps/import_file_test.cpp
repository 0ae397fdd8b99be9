// Every import reads its file under one policy: what is no regular file is
// refused, a file over 20 MB is read only when the user says so, one over
// 50 MB is refused; whatever the file, nothing is stored then.
#include "apps/common/import_file.h"
#include "apps/addresses/private_addresses.h"
#include "apps/agenda/agenda.h"
#include "apps/bookmarks/bookmarks.h"
#include "tests/apps/address_fixture.h"
#include "toolkit/forms.h"

#include <QFile>

#include <functional>

#include <sys/stat.h>

namespace {

using kesp::test::TestDriver;

class ImportFilePolicy : public AddressFixture {};

TEST_F(ImportFilePolicy, EveryImportRefusesWhatIsNoFileAsksAbove20MbAndRefusesAbove50Mb) {
    CreatePrivateBook({{.vorname = "Anna"}});
    InstallTable("internet.dbf");
    InstallTable("agenda.dbf");
    const QString pipe = exportPath() + "pipe.vcf";
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const auto sized = [this](const QString& name, qint64 bytes) {
        QFile file(exportPath() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(bytes));
        return file.fileName();
    };
    const QString large = sized("large.vcf", kImportAskAboveBytes + (1 << 20));
    const QString huge = sized("huge.vcf", kImportMaxBytes + 1);
    const QString refused =
        "MSGEXCLAMATION: Die Datei wurde nicht eingelesen, nichts wurde "
        "gespeichert:\n";
    const struct {
        const char* window;
        void (*open)();
        std::function<void(const QString& path)> run;
    } imports[] = {
        {"form1", OPENFORM_ADRESSE_P,
         [this](const QString& path) {
             driver_.answerNextFile(path);
             TestDriver::click("form1", "x10");
         }},
        {"internet_frm", OPENFORM_INTERNET, ImportBookmarksFrom},
        {"agenda_frm", OPENFORM_AGENDA,
         [this](const QString& path) {
             driver_.answerNextFile(path);
             TestDriver::click("agenda_frm", "Menu_2");
         }},
    };
    for (const auto& each : imports) {
        SCOPED_TRACE(each.window);
        each.open();
        for (const QString& path : {pipe, exportPath()}) {
            each.run(path);
            EXPECT_EQ(TakeMessages(),
                      QStringList{refused + path + "\nDie Datei kann nicht gelesen werden."});
        }
        driver_.answerNext(false);
        each.run(large);
        EXPECT_EQ(TakeMessages(), QStringList{"MSGYESNO: Die Datei ist 21 MB groß; der Import "
                                              "kann eine Weile dauern. Trotzdem importieren?"});
        each.run(huge);
        EXPECT_EQ(TakeMessages(), QStringList{refused + huge + "\nSie ist größer als 50 MB."});
        TestDriver::closeWindow(each.window);
    }
}

}  // namespace
