// The files the build installs into the application folder: every table with
// every field the applications use, wide enough for what their forms accept,
// with its first records; every picture and icon the windows name; the help
// pages.
#include "data/installed_tables.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kBuilt = KESP_BUILT_APP_DIR;

// A field the applications rely on: name, type and the least width.
struct Needed {
    const char* table;
    const char* field;
    char type;
    int width;
};

class InstalledTables : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copy_.isValid());
        for (const QFileInfo& file : QDir(kBuilt + "/data").entryInfoList(QDir::Files))
            QFile::copy(file.absoluteFilePath(), copy_.filePath(file.fileName()));
        SET_DELETED(true);
    }
    void TearDown() override { DBCLOSEALL(); }
    void Open(const QString& table) { DBUSEAREA(false, copy_.filePath(table), "t"); }
    QTemporaryDir copy_;
};

TEST_F(InstalledTables, EveryDescribedTableIsInstalledWithExactlyItsFields) {
    for (const kesp::TableDescription& table : kesp::InstalledTables()) {
        SCOPED_TRACE(table.file.toStdString());
        ASSERT_TRUE(QFile::exists(copy_.filePath(table.file)));
        Open(table.file);
        ASSERT_EQ(FCOUNT(), table.fields.size());
        for (int i = 0; i < table.fields.size(); ++i)
            EXPECT_EQ(FIELDNAME(i + 1).toUpper(), table.fields[i].name.toUpper());
        if (!table.filledByBuild) {
            EXPECT_EQ(RECCOUNT(), table.firstRecords.size());
        }
        DBCLOSEALL();
    }
}

TEST_F(InstalledTables, FieldsAreOfTheirTypeAndAtLeastAsWideAsTheirForms) {
    // What the windows let the user type, field by field; a character field
    // must hold the whole of it.
    const Needed needed[] = {
        {"startlang.dbf", "LANG", 'C', 2},
        {"adressen_p.dbf", "VORNAME", 'C', 40},
        {"adressen_p.dbf", "PLZ", 'C', 10},
        {"adressen_p.dbf", "EMAIL", 'C', 60},
        {"adressen_p.dbf", "EMAILFIRMA", 'C', 60},
        {"adressen_p.dbf", "FIRMA", 'C', 40},
        {"adressen_p.dbf", "GEBURTSTAG", 'D', 0},
        {"adressen_p.dbf", "LISTE", 'L', 0},
        {"adressen_p.dbf", "FREE05", 'C', 50},
        {"adressen_p.dbf", "FREE08", 'L', 0},
        {"adressen_p.dbf", "FREE09", 'D', 0},
        {"adressen_p.dbf", "FREE10", 'M', 0},
        {"adressen_g.dbf", "TELFIRMA", 'C', 20},
        {"adressen_g.dbf", "FREE10", 'M', 0},
        {"freeadr_p.dbf", "FREE1", 'C', 70},
        {"freeadr_p.dbf", "FREE6", 'C', 20},
        {"freeadr_g.dbf", "FREE9", 'C', 19},
        {"freeadr_g.dbf", "FREE10", 'C', 70},
        {"geburt.dbf", "DATUM", 'D', 0},
        {"agenda.dbf", "STUN", 'C', 2},
        {"agenda.dbf", "TERMIN", 'C', 99},
        {"agenda.dbf", "TINDEX", 'C', 14},
        {"notiz.dbf", "N_TITEL", 'C', 50},
        {"notiz.dbf", "N_TEXT", 'M', 0},
        {"projekt.dbf", "FERTIG", 'L', 0},
        {"projekt.dbf", "N_TEIL", 'M', 0},
        {"internet.dbf", "N_HYPER", 'C', 250},
        {"internet.dbf", "KATEG", 'C', 30},
        {"Tricks.dbf", "TITEL", 'C', 254},
        {"ergeb.dbf", "THE_RECNO", 'N', 0},
        {"de_en.dbf", "EN", 'C', 50},
        {"kespfree.dbf", "FREE05", 'C', 150},
        {"kespfree.dbf", "FREE09", 'D', 0},
        {"myfields.dbf", "APPNAME", 'C', 30},
        {"myfields.dbf", "FREE10", 'C', 30},
    };
    for (const Needed& need : needed) {
        SCOPED_TRACE(std::string(need.table) + " " + need.field);
        const kesp::TableDescription* table = kesp::InstalledTable(need.table);
        ASSERT_NE(table, nullptr);
        const kesp::FieldDescription* field = nullptr;
        for (const kesp::FieldDescription& candidate : table->fields)
            if (candidate.name == need.field) field = &candidate;
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->type, need.type);
        EXPECT_GE(field->width, need.width);

        // A text of the full width survives a write and a read back.
        if (need.type != 'C') continue;
        Open(need.table);
        DBAPPEND();
        const QString full(need.width, QChar('x'));
        REPLACE(need.field, full);
        DBCOMMIT();
        DBCLOSEALL();
        Open(need.table);
        DBGOBOTTOM();
        EXPECT_EQ(FIELD(need.field).toString().trimmed(), full);
        DBCLOSEALL();
    }
}

TEST_F(InstalledTables, NewUserFindsLanguageOwnApplicationBirthDateAndCaptions) {
    Open("startlang.dbf");
    EXPECT_EQ(FIELD("LANG").toString().trimmed(), "AM");
    Open("myfields.dbf");
    EXPECT_EQ(FIELD("APPNAME").toString().trimmed(), "Literature DB");
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(
            FIELD(QString("FREE%1").arg(i, 2, 10, QChar('0'))).toString().trimmed().isEmpty());
    Open("geburt.dbf");
    EXPECT_TRUE(FIELD("DATUM").toDate().isValid());
    for (const char* captions : {"freeadr_p.dbf", "freeadr_g.dbf"}) {
        Open(captions);
        for (int i = 1; i <= 10; ++i)
            EXPECT_FALSE(FIELD(QString("FREE%1").arg(i)).toString().trimmed().isEmpty());
    }
    // Memo tables come with their memo file.
    for (const char* memo : {"adressen_p.fpt", "notiz.fpt", "Tricks.fpt", "kespfree.fpt"})
        EXPECT_TRUE(QFile::exists(copy_.filePath(memo))) << memo;
}

TEST(InstalledArtwork, EveryPictureAndIconTheWindowsNameIsThereAtItsSize) {
    const QStringList pictures = {
        "add",   "agenda",  "besprech",    "cancel",      "del",       "file_excel",
        "find",  "first",   "hauptfiesta", "hauptfirmen", "hauptuser", "helpme1",
        "hyper", "last",    "myform",      "next",        "notiz",     "page_find",
        "prev",  "printer", "save",        "savelarge",   "tipps",     "woerter"};
    for (const QString& name : pictures) {
        const QImage image(kBuilt + "/img/" + name + ".bmp");
        EXPECT_FALSE(image.isNull()) << qPrintable(name);
        EXPECT_LE(image.width(), 36) << qPrintable(name);
        EXPECT_LE(image.height(), 24) << qPrintable(name);
    }
    // The template buttons of the own application show 32 x 32 pictures.
    for (const char* name : {"books", "vers", "koch", "kfz", "cds", "page_video", "samml"})
        EXPECT_EQ(QImage(kBuilt + "/img/" + name + ".bmp").size(), QSize(32, 32)) << name;
    const QStringList icons = {"agenda",      "besprech",  "bior",   "einstellungen", "hauptfiesta",
                               "hauptfirmen", "hauptuser", "hyper",  "kespico",       "myform",
                               "notiz",       "tipps",     "woerter"};
    for (const QString& name : icons)
        EXPECT_FALSE(QImage(kBuilt + "/img/" + name + ".ico").isNull()) << qPrintable(name);

    for (const char* flag : {"de", "en", "br"})
        EXPECT_EQ(QImage(kBuilt + "/img/" + flag + ".bmp").size(), QSize(16, 11)) << flag;
    EXPECT_EQ(QImage(kBuilt + "/img/02.bmp").size(), QSize(674, 138));
    EXPECT_EQ(QImage(kBuilt + "/img/03.bmp").size(), QSize(674, 40));
    EXPECT_EQ(QImage(kBuilt + "/img/kesplogo.bmp").size(), QSize(49, 30));
    // The flags differ from one another.
    EXPECT_NE(QImage(kBuilt + "/img/de.bmp"), QImage(kBuilt + "/img/br.bmp"));
}

TEST(InstalledArtwork, TheHeaderBandHasNoSeamAndTheLogoSitsOnItWithoutAWhiteBox) {
    const QImage header(kBuilt + "/img/02.bmp");
    const QImage logo(kBuilt + "/img/kesplogo.bmp");
    ASSERT_FALSE(header.isNull());
    ASSERT_FALSE(logo.isNull());
    // The band's last columns look like their neighbours inside.
    for (int y = 0; y < header.height(); ++y)
        for (int x : {header.width() - 2, header.width() - 1}) {
            const QColor edge = header.pixelColor(x, y);
            const QColor inside = header.pixelColor(x - 1, y);
            EXPECT_NEAR(edge.lightness(), inside.lightness(), 8) << x << "," << y;
        }
    // The logo's corners, outside its rounded tile, are the band beneath it
    // (the logo sits at column 20 of the band's top edge).
    for (const QPoint corner : {QPoint(0, 0), QPoint(48, 0), QPoint(0, 29), QPoint(48, 29)})
        EXPECT_EQ(logo.pixelColor(corner), header.pixelColor(corner + QPoint(20, 0)))
            << corner.x() << "," << corner.y();
}

TEST(InstalledHelp, EachLanguageHasItsPageDescribingEveryApplicationAndTheKeyboard) {
    const struct {
        const char* page;
        QStringList mentions;
    } pages[] = {
        {"Hilfe.htm",
         {"Adressen-Privat", "Agenda",         "Notizen",          "Projekte",
          "Wörterbuch",      "Biorhythmus",    "Tipps und Tricks", "Internet Bookmarks",
          "iCalendar",       "Bookmarks.html", "<b>F4</b>",        "Kontakte.vcf",
          "Doppelte suchen", "--import-vcard", "<b>Esc</b>",       "<b>Umschalt+F10</b>",
          "<b>Strg+N</b>",   "<b>Strg+S</b>",  "<b>Entf</b>",      "<b>Strg+E</b>",
          "<b>F1</b>"}},
        {"Help.htm",
         {"Contacts (friends)", "Agenda",         "Notes",           "Projects",
          "Dictionary",         "Biorhythm",      "Tips and Tricks", "Internet Bookmarks",
          "iCalendar",          "Bookmarks.html", "<b>F4</b>",       "Contacts.vcf",
          "Find duplicates",    "--import-vcard", "<b>Escape</b>",   "<b>Shift+F10</b>",
          "<b>Ctrl+N</b>",      "<b>Ctrl+S</b>",  "<b>Delete</b>",   "<b>Ctrl+E</b>",
          "<b>F1</b>"}},
        {"Ajuda.htm",
         {"Endereços (Amigos)",
          "Agenda",
          "Lembretes",
          "Projetos",
          "Dicionário",
          "Bioritmo",
          "Macetes",
          "Internet Bookmarks",
          "iCalendar",
          "Bookmarks.html",
          "<b>F4</b>",
          "<b>Esc</b>",
          "Contatos.vcf",
          "Procurar duplicados",
          "--import-vcard",
          "<b>Shift+F10</b>",
          "<b>Ctrl+N</b>",
          "<b>Ctrl+S</b>",
          "<b>Del</b>",
          "<b>Ctrl+E</b>",
          "<b>F1</b>"}},
    };
    for (const auto& page : pages) {
        QFile file(kBuilt + "/" + page.page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.page;
        const QString text = QString::fromUtf8(file.readAll());
        for (const QString& mention : page.mentions)
            EXPECT_TRUE(text.contains(mention)) << page.page << ": " << qPrintable(mention);
    }
    EXPECT_TRUE(QDir(kBuilt + "/export").exists());
}

}  // namespace

namespace {

// Runs the build's table writer on a folder.
int WriteInstalledTables(const QString& folder) {
    QProcess writer;
    writer.start(KESP_MAKE_DATA_FILES, {folder});
    writer.waitForFinished(30000);
    return writer.exitCode();
}

TEST(InstalledTablesWriter, KeepsTheRecordsOfATableAndReplacesOneOfAnotherMake) {
    QTemporaryDir folder;
    ASSERT_EQ(WriteInstalledTables(folder.path()), 0);
    DBUSEAREA(false, folder.filePath("de_en.dbf"), "t");
    DBAPPEND();
    REPLACE("DE", "Haus");
    REPLACE("EN", "house");
    DBCOMMIT();
    DBCLOSEALL();
    // Another program's table under an installed name.
    kesp::CreateTable(folder.filePath("notiz.dbf"), {{"TITLE", 'C', 20}});
    QFile::remove(folder.filePath("geburt.dbf"));

    ASSERT_EQ(WriteInstalledTables(folder.path()), 0);

    DBUSEAREA(false, folder.filePath("de_en.dbf"), "t");
    EXPECT_EQ(RECCOUNT(), 1);
    EXPECT_EQ(FIELD("EN").toString().trimmed(), "house");
    DBUSEAREA(false, folder.filePath("notiz.dbf"), "t");
    EXPECT_EQ(FIELDNAME(3).toUpper(), "N_TITEL");
    DBUSEAREA(false, folder.filePath("geburt.dbf"), "t");
    EXPECT_EQ(RECCOUNT(), 1);
    DBCLOSEALL();
}

}  // namespace
