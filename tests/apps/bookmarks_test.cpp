// The internet bookmarks driven through their window: where they differ from
// the address books. Two searches and their orders, the export of what the
// list shows byte for byte, the address as the required field and in the
// delete question, the address opened in the browser, and the exchange of
// bookmark files with browsers.
#include "apps/bookmarks/bookmarks.h"
#include "apps/bookmarks/bookmark_file.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "tests/apps/installed_table.h"
#include "toolkit/browser_opening.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QAction>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <QWidget>

#include <sys/stat.h>

namespace {

using kesp::test::TestDriver;

const QString kWindow = "internet_frm";

QString Value(const QString& control) {
    return TestDriver::read(kWindow, control).toString();
}
void Type(const QString& control, const QString& text) {
    TestDriver::clearText(kWindow, control);
    TestDriver::typeInto(kWindow, control, text);
}
void Put(const QString& control, const QString& text) {
    SETPROPERTY(kWindow, control, "value", text);
}
QStringList Titles() {
    QStringList titles;
    for (int row = 1; row <= TestDriver::browseRows(kWindow, "Browse_1"); ++row)
        titles.append(TestDriver::browseCell(kWindow, "Browse_1", row, 2).trimmed());
    return titles;
}
// The context menu's entries of the list, by position (1-based).
void ChooseFromMenu(int entry) {
    const QList<QAction*> entries = TestDriver::widget(kWindow, "Browse_1")->actions();
    ASSERT_GE(entries.size(), entry);
    entries[entry - 1]->trigger();
}

}  // namespace

namespace {

// Takes the browser's place: records the addresses the desktop would open,
// or fails as a desktop without any browser does.
struct BrowserStandIn {
    QStringList opened;
    bool works = true;
};

struct Link {
    QDate created;
    QString category;
    QString title;
    QString address;
    QString comment;
};

class Bookmarks : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        driver_.setToday(QDate(2026, 12, 8));
        CreateBookmarks({{QDate(2025, 1, 2), "Suche", "Qwant", "www.qwant.com", "Zweite\r\nZeile"},
                         {QDate(2025, 2, 3), "Nachrichten", "Heise", "https://heise.de", ""},
                         {QDate(2025, 3, 4), "suche", "duck", "https://duckduckgo.com/?q=a;b", ""},
                         {QDate(2025, 4, 5), "", "Blog", "blog.example", "Sätze & <Tags>"}});
        previousOpener_ = kesp::SetUrlOpener([this](const QUrl& url) {
            browser_.opened.append(url.toString());
            return browser_.works;
        });
    }
    void TearDown() override {
        kesp::SetUrlOpener(previousOpener_);
        AddressFixture::TearDown();
    }

    void CreateBookmarks(const QList<Link>& links) {
        DBCLOSEALL();
        CreateInstalledTable(dataPath(), "internet.dbf");
        DBUSEAREA(false, dataPath() + "internet.dbf", "fixture");
        for (const Link& link : links) {
            DBAPPEND();
            REPLACE("ERSTELLT", link.created);
            REPLACE("KATEG", link.category);
            REPLACE("N_TITEL", link.title);
            REPLACE("N_HYPER", link.address);
            REPLACE("N_KOM", link.comment);
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }

    BrowserStandIn browser_;
    kesp::UrlOpener previousOpener_;
};

TEST_F(Bookmarks, OpenByTitleWithGermanHeadersInEveryLanguage) {
    UseLanguage("AM");
    OPENFORM_INTERNET();
    EXPECT_EQ(GETPROPERTY(kWindow, "Title").toString(), "Internet - Bookmarks");
    EXPECT_EQ(Titles(), (QStringList{"Blog", "duck", "Heise", "Qwant"}));
    EXPECT_EQ(GETPROPERTY(kWindow, "Browse_1", "header", 1).toString(), "Kategorie");
    EXPECT_EQ(GETPROPERTY(kWindow, "Browse_1", "header", 2).toString(), "Titel");
    EXPECT_EQ(Value("Label_8"), "Address www (Hyperlink)");
    EXPECT_EQ(Value("Text_4"), "blog.example");
    EXPECT_EQ(Value("Text_1"), "04/05/2025");
    EXPECT_EQ(Value("label_anzahl"), "4 records in the database.");
}

TEST_F(Bookmarks, CategorySearchThenExportListsOnlyTheMatchesInCategoryOrder) {
    OPENFORM_INTERNET();
    Type("suche_kateg", "su");
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(TestDriver::read(kWindow, "suche_kateg", "backcolor").value<QColor>(),
              QColor(0, 255, 0));
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Bookmarks.csv wurde erstellt.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Bookmarks.csv"),
              QByteArray("ERSTELLT;KATEGORIE;TITEL;HYPERLINK;KOMMENTAR;\r"
                         "02.01.2025;Suche;Qwant;www.qwant.com;Zweite Zeile;\r"
                         "04.03.2025;suche;duck;\"https://duckduckgo.com/?q=a;b\";;\r"));
}

TEST_F(Bookmarks, ExportOfAllInEachLanguage) {
    UseLanguage("BR");
    OPENFORM_INTERNET();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Arquivo Bookmarks.csv foi criado.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Bookmarks.csv"),
              QByteArray("CRIADO EM;CATEGORIA;TITULO;HYPERLINK;COMENTARIO;\r"
                         "05/04/2025;;Blog;blog.example;S\xe4tze & <Tags>;\r"
                         "04/03/2025;suche;duck;\"https://duckduckgo.com/?q=a;b\";;\r"
                         "03/02/2025;Nachrichten;Heise;https://heise.de;;\r"
                         "02/01/2025;Suche;Qwant;www.qwant.com;Zweite Zeile;\r"));
    TestDriver::closeWindow(kWindow);
    UseLanguage("AM");
    OPENFORM_INTERNET();
    TestDriver::click(kWindow, "x7");
    EXPECT_TRUE(
        ExportedFile("Bookmarks.csv").startsWith("CREATED;CATEGORY;TITLE;HYPERLINK;COMMENTARY;\r"));
}

TEST_F(Bookmarks, SaveAfterASearchDropsTheFilterAndKeepsTheBookmark) {
    OPENFORM_INTERNET();
    Type("suche_titel", "qw");
    EXPECT_EQ(Titles(), (QStringList{"Qwant"}));
    Put("Text_2", "Werkzeuge");
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(Value("Text_3"), "Qwant");
    EXPECT_EQ(Value("Text_2"), "Werkzeuge");
    EXPECT_EQ(Titles(), (QStringList{"Blog", "duck", "Heise", "Qwant"}));
    EXPECT_EQ(TestDriver::read(kWindow, "Browse_1").toInt(), RECNO());
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
}

TEST_F(Bookmarks, SaveNewWithoutAddressWarnsAndStaysInEntryMode) {
    OPENFORM_INTERNET();
    TestDriver::click(kWindow, "x5");
    EXPECT_EQ(Value("Text_1"), "08.12.2026");
    EXPECT_EQ(Value("Text_4"), "");
    Type("Text_3", "Ohne Adresse");
    TestDriver::click(kWindow, "Button_1");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGEXCLAMATION: Mindestens Hyperlink eingeben"}));
    EXPECT_TRUE(TestDriver::isShown(kWindow, "Button_1"));
    EXPECT_FALSE(TestDriver::isShown(kWindow, "ToolBar_1"));
    EXPECT_EQ(RECCOUNT(), 4);

    Type("Text_4", "example.org");
    TestDriver::click(kWindow, "Button_1");
    EXPECT_EQ(RECCOUNT(), 5);
    EXPECT_EQ(Value("Text_3"), "Blog");  // the first by title
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
}

TEST_F(Bookmarks, DeleteQuestionNamesTheAddress) {
    OPENFORM_INTERNET();
    driver_.answerNext(false);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGYESNO: blog.example löschen?"}));
    EXPECT_EQ(Titles().size(), 4);
    TestDriver::closeWindow(kWindow);

    UseLanguage("AM");
    OPENFORM_INTERNET();
    Type("suche_kateg", "s");
    driver_.answerNext(true);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGYESNO: Delete: www.qwant.com ?"}));
    EXPECT_EQ(Titles(), (QStringList{"duck"}));
    EXPECT_EQ(Value("label_anzahl"), "3 records in the database.");
}

TEST_F(Bookmarks, TheAddressOpensInTheBrowserWithASchemeAdded) {
    EXPECT_EQ(BrowserAddress(" www.a.de "), "http://www.a.de");
    EXPECT_EQ(BrowserAddress("localhost:8080/x"), "http://localhost:8080/x");
    EXPECT_EQ(BrowserAddress("https://a.de"), "https://a.de");
    EXPECT_EQ(BrowserAddress("mailto:a@b.de"), "mailto:a@b.de");

    OPENFORM_INTERNET();
    TestDriver::pressKey(kWindow, "Browse_1", Qt::Key_Return);
    TestDriver::select(kWindow, "Browse_1", 3);
    ChooseFromMenu(1);
    EXPECT_EQ(browser_.opened, (QStringList{"http://blog.example", "https://heise.de"}));
    EXPECT_TRUE(TakeMessages().isEmpty());
}

// A script is never handed to the browser, and a desktop without a browser
// is no reason for silence: both say which address could not be opened.
TEST_F(Bookmarks, OnlyPagesGoToTheBrowserAndAnAddressNotOpenedIsNamed) {
    CreateBookmarks({{QDate(2025, 1, 2), "", "Script", "javascript:alert(1)", ""},
                     {QDate(2025, 1, 3), "", "Page", "https://a.example/x", ""},
                     {QDate(2025, 1, 4), "", "Pages", "ftp://files.example", ""}});
    OPENFORM_INTERNET();
    EXPECT_EQ(TestDriver::read(kWindow, "Browse_1", "tooltip").toString(),
              "Weitere Befehle: rechte Maustaste, Menütaste oder Umschalt+F10");
    EXPECT_EQ(Titles(), (QStringList{"Page", "Pages", "Script"}));
    TestDriver::select(kWindow, "Browse_1", 3);
    TestDriver::pressKey(kWindow, "Browse_1", Qt::Key_Return);
    EXPECT_TRUE(browser_.opened.isEmpty());
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Die Adresse konnte nicht im Browser geöffnet "
                           "werden.\njavascript:alert(1)"}));

    TestDriver::select(kWindow, "Browse_1", 2);
    ChooseFromMenu(1);
    EXPECT_EQ(browser_.opened, (QStringList{"ftp://files.example"}));
    EXPECT_TRUE(TakeMessages().isEmpty());

    browser_.works = false;
    UseLanguage("AM");
    TestDriver::select(kWindow, "Browse_1", 1);
    TestDriver::pressKey(kWindow, "Browse_1", Qt::Key_Return);
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGEXCLAMATION: Sorry, I can not open the address "
                                           "in the browser.\nhttps://a.example/x"}));
}

TEST_F(Bookmarks, BrowserFileExportReadsBackWithPythonsHtmlParser) {
    CreateBookmarks({{QDate(2025, 1, 2), "Suche", "Qwant", "www.qwant.com", "Zweite\r\nZeile"},
                     {QDate(2025, 2, 3), "A&B <c>", "Tom \"&\" Jerry", "https://x.de/?a=1&b=2", ""},
                     {QDate(), "", "Blog", "blog.example", "Sätze"}});
    OPENFORM_INTERNET();
    Type("suche_titel", "qw");  // the search does not narrow this export
    ChooseFromMenu(2);
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Bookmarks.html wurde erstellt.\n" + exportPath()}));
    QProcess python;
    python.start("python3", {QString(KESP_TEST_SOURCE_DIR) + "/read_bookmark_file.py",
                             exportPath() + "Bookmarks.html"});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()),
              "\tBlog\tblog.example\t\tSätze\n"
              "A&B <c>\tTom \"&\" Jerry\thttps://x.de/?a=1&b=2\t1738540800\t\n"
              "Suche\tQwant\twww.qwant.com\t1735776000\tZweite\nZeile\n");
}

// A browser's own file: folders in folders under its toolbar, tags and a
// keyword, a title longer than the field, a browser's internal query.
TEST_F(Bookmarks, ABrowsersFileKeepsItsFolderPathTagsAndKeywordAndSaysWhatItCut) {
    const QString path = exportPath() + "browser.html";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>
<DL><p>
    <DT><H3 PERSONAL_TOOLBAR_FOLDER="true">Bookmarks Toolbar</H3>
    <DL><p>
        <DT><H3>Reisen</H3>
        <DL><p>
            <DT><H3>Japan</H3>
            <DL><p>
                <DT><A HREF="https://japan.travel/" TAGS="reise,asien" SHORTCUTURL="jp">Japan</A>
                <DT><A HREF="https://kyoto.example/">)" +
                QByteArray(330, 'K') + R"(</A>
            </DL><p>
        </DL><p>
        <DT><A HREF="place:sort=8&amp;maxResults=10">Most Visited</A>
    </DL><p>
</DL><p>
)")
                   .constData());
    file.close();

    OPENFORM_INTERNET();
    ImportBookmarksFrom(path);
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(
        told[0].startsWith("MSGEXCLAMATION: 2 Bookmarks importiert, 0 übersprungen "
                           "(schon vorhanden).\n1 nicht importiert"))
        << told[0].toStdString();
    EXPECT_TRUE(told[0].endsWith("\n1 Titel oder Kategorie wurde gekürzt, damit er passt: \"" +
                                 QString(40, 'K') + "…\""))
        << told[0].toStdString();
    const int japan = int(Titles().indexOf("Japan")) + 1;
    ASSERT_GT(japan, 0);
    TestDriver::select(kWindow, "Browse_1", japan);
    EXPECT_EQ(Value("Text_2"), "Reisen/Japan");
    EXPECT_EQ(Value("Edit_1"), "Schlagwörter: reise, asien\r\nSchlüsselwort: jp");
}

TEST_F(Bookmarks, ImportAddsNewBookmarksSkipsKnownAddressesAndSaysHowMany) {
    const QString path = exportPath() + "from_browser.html";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>
<DL><p>
    <DT><A HREF="https://heise.de" ADD_DATE="1700000000">Heise again</A>
    <DT><H3 ADD_DATE="1">Koch &amp; Back</H3>
    <DL><p>
        <DT><A HREF="https://chefkoch.de/" ADD_DATE="1735776000" ICON="data:x">Chef&#39;s &lt;Koch&gt;</A>
        <DD>Rezepte &amp; mehr
        <dt><a add_date='1' href='http://www.qwant.com'>Qwant with scheme</a>
        <DT><H3>Brot</H3>
        <DL><p>
            <DT><A HREF="https://brot.de">Brot&#x21;</A>
        </DL><p>
        <DT><A HREF="https://kuchen.de">Kuchen</A>
        <DT><A HREF="https://chefkoch.de/">twice in the file</A>
        <DT><A>no address</A>
    </DL><p>
</DL><p>
)");
    file.close();

    OPENFORM_INTERNET();
    ImportBookmarksFrom(path);
    EXPECT_EQ(
        TakeMessages(),
        (QStringList{"MSGEXCLAMATION: 3 Bookmarks importiert, 3 übersprungen (schon vorhanden)."}));
    EXPECT_EQ(Value("label_anzahl"), "7 Daten in der Datenbank.");
    EXPECT_EQ(Titles(),
              (QStringList{"Blog", "Brot!", "Chef's <Koch>", "duck", "Heise", "Kuchen", "Qwant"}));
    TestDriver::select(kWindow, "Browse_1", 3);
    EXPECT_EQ(Value("Text_2"), "Koch & Back");
    EXPECT_EQ(Value("Text_4"), "https://chefkoch.de/");
    EXPECT_EQ(Value("Edit_1"), "Rezepte & mehr");
    EXPECT_EQ(Value("Text_1"), "02.01.2025");
    TestDriver::select(kWindow, "Browse_1", 2);
    EXPECT_EQ(Value("Text_2"), "Koch & Back/Brot") << "the path of its folders";
    EXPECT_EQ(Value("Text_1"), "08.12.2026");  // no date in the file: today

    ImportBookmarksFrom(exportPath() + "missing.html");
    EXPECT_EQ(TakeMessages().size(), 1);
    // A pipe is refused at once instead of waiting for a writer.
    const QString fifo = exportPath() + "pipe.html";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ImportBookmarksFrom(fifo);
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("\n" + fifo + "\n")) << told[0].toStdString();
    EXPECT_EQ(Value("label_anzahl"), "7 Daten in der Datenbank.");
}

TEST_F(Bookmarks, AFileIsReadInTheCharsetItDeclaresElseAsUtf8FallingBackToWindows1252) {
    const QByteArray list =
        "<DL><p>\n<DT><A HREF=\"https://m.de\">M\xfcller Stra\xdf"
        "e</A>\n";
    const QByteArray latin1 =
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">\n" + list;
    const QByteArray mixed =
        "<DL><p>\n<DT><A HREF=\"https://m.de\">M\xc3\xbcller Stra\xdf"
        "e</A>\n";
    for (const QByteArray& file : {latin1, list, mixed}) {
        const QList<Bookmark> read = ReadBookmarkFile(file);
        ASSERT_EQ(read.size(), 1);
        EXPECT_EQ(read[0].title, "Müller Straße");
    }
}

TEST_F(Bookmarks, NoBookmarkFileAndAddressesTooLongAreToldAsSuch) {
    const QString utf16 = exportPath() + "utf16.html";
    const QString picture = exportPath() + "picture.html";
    const QString longAddress = exportPath() + "long.html";
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const QString html = "<DL><p>\n<DT><A HREF=\"https://neu.de\">Neu</A>\n</DL>\n";
    write(utf16, QByteArray("\xff\xfe") +
                     QByteArray(reinterpret_cast<const char*>(html.utf16()), html.size() * 2));
    write(picture, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    write(longAddress,
          "<DL><p>\n<DT><A HREF=\"https://neu.de\">Neu</A>\n"
          "<DT><A HREF=\"https://heise.de\">Heise</A>\n"
          "<DT><A HREF=\"https://x.de/" +
              QByteArray(300, 'x') + "\">Lang</A>\n</DL>\n");
    OPENFORM_INTERNET();
    for (const QString& path : {utf16, picture}) {
        ImportBookmarksFrom(path);
        EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: Diese Datei ist keine "
                                              "Lesezeichen-Datei eines Browsers. Es wurde nichts "
                                              "geändert.\n" +
                                              path});
    }
    ImportBookmarksFrom(longAddress);
    EXPECT_EQ(
        TakeMessages(),
        QStringList{"MSGEXCLAMATION: 1 Bookmark importiert, 1 übersprungen (schon "
                    "vorhanden).\n1 nicht importiert (javascript:-, data:- oder place:-Adressen "
                    "oder zu lange Adressen)."});
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
}

// Characters the table cannot hold are left out, never turned into "?",
// and the summary says so; a script, the same address written otherwise and
// a file imported twice add nothing.
TEST_F(Bookmarks, ImportKeepsWhatTheTableCanHoldAndSkipsScriptsAndKnownAddresses) {
    const QString path = exportPath() + "world.html";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"html(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<DL><p>
    <DT><A HREF="https://jp.example/">日本語のページ</A>
    <DT><A HREF="https://gr.example/">Ελληνικά Café</A>
    <DT><A HREF="https://emoji.example/">Party 🎉 time</A>
    <DD>Größe 😀
    <DT><A HREF="https://fine.example/">Grüße</A>
    <DT><A HREF="HTTPS://HEISE.DE/">Heise in capitals</A>
    <DT><A HREF="https://duckduckgo.com/?q=a;b">duck again</A>
    <DT><A HREF="javascript:alert(document.cookie)">Bookmarklet</A>
    <DT><A HREF="data:text/html,<b>x</b>">Inline</A>
</DL><p>
)html");
    file.close();

    OPENFORM_INTERNET();
    ImportBookmarksFrom(path);
    EXPECT_EQ(
        TakeMessages(),
        (QStringList{
            "MSGEXCLAMATION: 4 Bookmarks importiert, 2 übersprungen (schon "
            "vorhanden).\n2 nicht importiert (javascript:-, data:- oder place:-Adressen "
            "oder zu lange Adressen).\nZeichen, die die Tabelle nicht speichern "
            "kann, sind in 4 Texten durch die nächsten Buchstaben ersetzt oder weggelassen, z. "
            "B.: \"日本語のページ\", \"Ελληνικά "
            "Café\", \"Party 🎉 time\""}));
    EXPECT_EQ(Titles(),
              (QStringList{"", "Blog", "Café", "duck", "Grüße", "Heise", "Party  time", "Qwant"}));
    TestDriver::select(kWindow, "Browse_1", 7);
    EXPECT_EQ(Value("Edit_1"), "Größe");
    EXPECT_EQ(Value("Text_4"), "https://emoji.example/");

    // The same file again: everything is known or refused.
    ImportBookmarksFrom(path);
    EXPECT_EQ(
        TakeMessages(),
        (QStringList{"MSGEXCLAMATION: 0 Bookmarks importiert, 6 übersprungen (schon "
                     "vorhanden).\n2 nicht importiert (javascript:-, data:- oder place:-Adressen "
                     "oder zu lange Adressen)."}));
    EXPECT_EQ(SameAddressKey("HTTP://Www.Example.COM/path/"),
              SameAddressKey("http://www.example.com/path"));
    EXPECT_NE(SameAddressKey("http://www.example.com/Path"),
              SameAddressKey("http://www.example.com/path"));
}

TEST_F(Bookmarks, IsPicturedInEveryLanguage) {
    QDir().mkpath(KESP_SCREENSHOT_DIR);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_INTERNET();
        Type("suche_kateg", "su");
        const QString file = QString(KESP_SCREENSHOT_DIR) + "/internet_frm_" + code + ".png";
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kWindow, file)) << code;
        TestDriver::closeWindow(kWindow);
    }
}

TEST(BookmarkFile, WrittenFileReadsBackTheSame) {
    const QList<Bookmark> written{{.title = "T", .address = "a.de"},
                                  {.category = "K <1>",
                                   .title = "x & y",
                                   .address = "https://b.de/?q=\"1\"&r=2",
                                   .comment = "c",
                                   .created = QDate(2020, 2, 29)}};
    const QList<Bookmark> read = ReadBookmarkFile(WriteBookmarkFile(written));
    ASSERT_EQ(read.size(), 2);
    for (int n = 0; n < 2; ++n) {
        EXPECT_EQ(read[n].category, written[n].category);
        EXPECT_EQ(read[n].title, written[n].title);
        EXPECT_EQ(read[n].address, written[n].address);
        EXPECT_EQ(read[n].comment, written[n].comment);
        EXPECT_EQ(read[n].created, written[n].created);
    }
}

}  // namespace
