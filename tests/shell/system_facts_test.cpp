// The system-facts panel: colour thresholds at their edges, the low-disk
// warning, the reading of this machine's facts, and the help button.
#include "tests/shell/installed_program.h"

#include "kernel/public_variables.h"
#include "shell/help.h"
#include "shell/system_facts.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

constexpr std::uint64_t MB = 1048576;

TEST(ColourThresholds, FreeSpaceIsLowUpTo20SufficientUpTo50VeryGoodAbove) {
    EXPECT_EQ(FREE_SPACE_LEVEL(20), Level::Low);
    EXPECT_EQ(FREE_SPACE_LEVEL(20.01), Level::Sufficient);
    EXPECT_EQ(FREE_SPACE_LEVEL(21), Level::Sufficient);
    EXPECT_EQ(FREE_SPACE_LEVEL(50), Level::Sufficient);
    EXPECT_EQ(FREE_SPACE_LEVEL(51), Level::VeryGood);
}

TEST(ColourThresholds, MemoryFiguresEachAgainstTheirOwnPair) {
    EXPECT_EQ(TOTAL_MEMORY_LEVEL(128), Level::Low);
    EXPECT_EQ(TOTAL_MEMORY_LEVEL(200), Level::Low);
    EXPECT_EQ(TOTAL_MEMORY_LEVEL(256), Level::Sufficient);
    EXPECT_EQ(TOTAL_MEMORY_LEVEL(500), Level::Sufficient);
    EXPECT_EQ(TOTAL_MEMORY_LEVEL(512), Level::VeryGood);
    EXPECT_EQ(AVAILABLE_MEMORY_LEVEL(201), Level::Sufficient);
    EXPECT_EQ(AVAILABLE_MEMORY_LEVEL(501), Level::VeryGood);
    EXPECT_EQ(TOTAL_PAGE_LEVEL(1000), Level::Low);
    EXPECT_EQ(TOTAL_PAGE_LEVEL(1001), Level::Sufficient);
    EXPECT_EQ(TOTAL_PAGE_LEVEL(1500), Level::Sufficient);
    EXPECT_EQ(TOTAL_PAGE_LEVEL(1501), Level::VeryGood);
    EXPECT_EQ(AVAILABLE_VIRTUAL_LEVEL(1500), Level::Sufficient);
    EXPECT_EQ(AVAILABLE_VIRTUAL_LEVEL(2000), Level::Sufficient);
    EXPECT_EQ(AVAILABLE_VIRTUAL_LEVEL(2001), Level::VeryGood);
    EXPECT_EQ(LEVEL_COLOUR(Level::Low), QColor(255, 0, 0));
    EXPECT_EQ(LEVEL_COLOUR(Level::Sufficient), QColor(255, 255, 0));
    EXPECT_EQ(LEVEL_COLOUR(Level::VeryGood), QColor(0, 255, 0));
}

TEST(ColourThresholds, LowDiskMeansBelow21MegabytesButNotNothingAtAll) {
    EXPECT_FALSE(LOW_DISK(0));
    EXPECT_TRUE(LOW_DISK(1));
    EXPECT_TRUE(LOW_DISK(20 * MB));
    EXPECT_TRUE(LOW_DISK(21 * MB - 1));
    EXPECT_FALSE(LOW_DISK(21 * MB));
}

TEST(SystemFactsReading, TakesPrettyNameAndAddsSwapToTheMemoryFigures) {
    EXPECT_EQ(PRETTY_NAME("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                          "(bookworm)\"\nID=debian\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(PRETTY_NAME("PRETTY_NAME=Alpine\n"), "Alpine");
    EXPECT_EQ(PRETTY_NAME("ID=none\n"), "");

    const MemoryFigures memory = MEMORY_FIGURES(
        "MemTotal:        2048000 kB\nMemFree:          100000 kB\n"
        "MemAvailable:    1024000 kB\nSwapTotal:       1000000 kB\nSwapFree:         500000 kB\n");
    EXPECT_EQ(memory.totalPhysical, 2048000ull * 1024);
    EXPECT_EQ(memory.availablePhysical, 1024000ull * 1024);
    EXPECT_EQ(memory.totalPage, 3048000ull * 1024);
    EXPECT_EQ(memory.availableVirtual, 1524000ull * 1024);
}

TEST(SystemFactsReading, ThisMachineHasANameMemoryAndFreeSpace) {
    const SystemFacts facts = READ_SYSTEM_FACTS(QDir::tempPath());
    EXPECT_FALSE(facts.operatingSystem.isEmpty());
    EXPECT_LE(facts.computerName.size(), 15);
    EXPECT_GT(facts.totalPhysical, 0u);
    EXPECT_GE(facts.totalPage, facts.totalPhysical);
    EXPECT_GT(facts.freeBytes, 0u);
    EXPECT_FALSE(facts.mountPoint.isEmpty());
}

class Panel : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        previous_ = SET_SYSTEM_FACTS_READER([this](const QString&) { return facts_; });
        facts_ = {"Test OS 1.0", "testhost", 100 * MB,  "/srv",
                  512 * MB,      256 * MB,   1024 * MB, 3000 * MB};
        OpenMainWindow();
        boxes_.clear();
    }
    void TearDown() override {
        SET_SYSTEM_FACTS_READER(previous_);
        InstalledProgram::TearDown();
    }
    QColor Colour(const QString& label) const {
        return GETPROPERTY("haupt", label, "BackColor").value<QColor>();
    }

    SystemFacts facts_;
    SystemFactsReader previous_;
};

TEST_F(Panel, ShowsEveryFigureTrimmedOnItsColour) {
    EXPECT_EQ(Property("Label_12", "Value"), "Test OS 1.0");
    EXPECT_EQ(Property("Label_13", "Value"), "testhost");
    EXPECT_EQ(Property("Label_14", "Value"), "100.00");
    EXPECT_EQ(Property("Label_4", "Value"), "512");
    EXPECT_EQ(Colour("Label_4"), QColor(0, 255, 0));
    EXPECT_EQ(Property("Label_5", "Value"), "256");
    EXPECT_EQ(Colour("Label_5"), QColor(255, 255, 0));
    EXPECT_EQ(Property("Label_6", "Value"), "1024");
    EXPECT_EQ(Colour("Label_6"), QColor(255, 255, 0));
    EXPECT_EQ(Property("Label_7", "Value"), "3000");
    EXPECT_EQ(Colour("Label_7"), QColor(0, 255, 0));
}

TEST_F(Panel, FreeSpaceWarnsBelow21MegabytesInTheLanguageWithTheMountPoint) {
    facts_.freeBytes = 19 * MB + MB / 2;  // 19.5 MB
    HOLE_SYS();
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_[0].kind, "MSGEXCLAMATION");
    EXPECT_EQ(boxes_[0].title, "Sysinfo");
    EXPECT_EQ(boxes_[0].text, "Attention: low diskspace... [/srv]  < 20MB free");
    EXPECT_EQ(Property("Label_14", "Value"), "19.50");
    EXPECT_EQ(Colour("Label_14"), QColor(255, 0, 0));

    facts_.freeBytes = 20 * MB;  // warned, and still red
    THE_LANG = "DE";
    HOLE_SYS();
    ASSERT_EQ(boxes_.size(), 2);
    EXPECT_EQ(boxes_[1].text, "Achtung: wenig freier Speicher auf [/srv] Laufw. < 20MB frei");
    EXPECT_EQ(Colour("Label_14"), QColor(255, 0, 0));

    facts_.freeBytes = 35 * MB;
    HOLE_SYS();
    EXPECT_EQ(boxes_.size(), 2);
    EXPECT_EQ(Colour("Label_14"), QColor(255, 255, 0));

    facts_.freeBytes = 51 * MB;
    HOLE_SYS();
    EXPECT_EQ(Colour("Label_14"), QColor(0, 255, 0));

    facts_.freeBytes = 0;  // a failed reading: red, no warning
    HOLE_SYS();
    EXPECT_EQ(boxes_.size(), 2);
    EXPECT_EQ(Property("Label_14", "Value"), "0.00");
    EXPECT_EQ(Colour("Label_14"), QColor(255, 0, 0));
}

TEST_F(Panel, MemoryColoursGoByTheWholeMegabytesShown) {
    facts_.totalPhysical = 128 * MB;
    facts_.availablePhysical = 200 * MB + MB / 2;  // shown as 200: low
    facts_.totalPage = 1500 * MB;
    facts_.availableVirtual = 2001 * MB;
    HOLE_SYS();
    EXPECT_EQ(Property("Label_4", "Value"), "128");
    EXPECT_EQ(Colour("Label_4"), QColor(255, 0, 0));
    EXPECT_EQ(Property("Label_5", "Value"), "200");
    EXPECT_EQ(Colour("Label_5"), QColor(255, 0, 0));
    EXPECT_EQ(Colour("Label_6"), QColor(255, 255, 0));
    EXPECT_EQ(Colour("Label_7"), QColor(0, 255, 0));
}

TEST_F(Panel, RefreshReadsTheFactsAgainButLeavesTheCountsAsTheyWere) {
    EXPECT_EQ(Property("lbl_7", "Value"), "0 [bookmarks]");
    const QString lastRun = Property("Label_36", "Value");
    AddRecord("internet.dbf", {{"N_HYPER", "https://example.org"}});
    facts_.computerName = "otherhost";
    facts_.totalPhysical = 128 * MB;

    kesp::test::TestDriver::click("haupt", "Button_33");

    EXPECT_EQ(Property("Label_13", "Value"), "otherhost");
    EXPECT_EQ(Property("Label_4", "Value"), "128");
    EXPECT_EQ(Colour("Label_4"), QColor(255, 0, 0));
    EXPECT_EQ(Property("lbl_7", "Value"), "0 [bookmarks]");
    EXPECT_EQ(Property("Label_36", "Value"), lastRun);
}

using Help = InstalledProgram;

TEST_F(Help, OpensTheInstalledPageOfTheLanguageAndReportsWhenNoBrowserCan) {
    QList<QUrl> opened;
    bool browserThere = true;
    const UrlOpener previous = SET_URL_OPENER([&](const QUrl& url) {
        opened.append(url);
        return browserThere;
    });
    for (const auto& [language, page] :
         {std::pair{"DE", "Hilfe.htm"}, {"AM", "Help.htm"}, {"BR", "Ajuda.htm"}}) {
        THE_LANG = language;
        IEXPLORER();
        ASSERT_FALSE(opened.isEmpty());
        EXPECT_EQ(opened.last().toLocalFile(), folder_.filePath(page));
        EXPECT_TRUE(QFile::exists(opened.last().toLocalFile()));
    }
    EXPECT_TRUE(boxes_.isEmpty());

    browserThere = false;
    IEXPLORER();
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_[0].text.contains("Ajuda.htm"));
    SET_URL_OPENER(previous);
}

// A stand-in for the desktop's xdg-open, first on the PATH: it notes the page
// it was asked for and ends with the exit code given.
class DesktopOpener {
  public:
    explicit DesktopOpener(int exitCode) : path_(qgetenv("PATH")) {
        const QString script = folder_.filePath("xdg-open");
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QString("#!/bin/sh\necho \"$1\" > '%1'\nexit %2\n")
                       .arg(folder_.filePath("asked"))
                       .arg(exitCode)
                       .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", (folder_.path() + ":").toUtf8() + path_);
    }
    ~DesktopOpener() { qputenv("PATH", path_); }

    QString askedFor() const {
        QFile asked(folder_.filePath("asked"));
        return asked.open(QIODevice::ReadOnly) ? QString::fromUtf8(asked.readAll()).trimmed()
                                               : QString();
    }
    // Until the program has seen how the opener ended.
    static bool Watched() {
        return QTest::qWaitFor(
            [] { return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty(); },
            10000);
    }

  private:
    QTemporaryDir folder_;
    QByteArray path_;
};

TEST_F(Help, TellsWhereTheHelpPageIsWhenTheDesktopFindsNoBrowser) {
    THE_LANG = "DE";
    {
        DesktopOpener noBrowser(3);  // what xdg-open answers without any browser
        IEXPLORER();
        EXPECT_TRUE(DesktopOpener::Watched());
        EXPECT_EQ(QUrl(noBrowser.askedFor()).toLocalFile(), folder_.filePath("Hilfe.htm"));
    }
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_[0].kind, "MSGEXCLAMATION");
    EXPECT_TRUE(boxes_[0].text.endsWith(folder_.filePath("Hilfe.htm")))
        << boxes_[0].text.toStdString();

    boxes_.clear();
    {
        DesktopOpener browser(0);
        IEXPLORER();
        EXPECT_TRUE(DesktopOpener::Watched());
        EXPECT_FALSE(browser.askedFor().isEmpty());
    }
    EXPECT_TRUE(boxes_.isEmpty());
}

}  // namespace
