// Control characters a stored text may hold (0x01, 0x07, 0x1B, ...) reach no
// export file: the semicolon files, the iCalendar file and the browsers'
// bookmark file write them as blanks; the tabulator stays, and line breaks
// are written as each format writes them.
#include "apps/agenda/icalendar.h"
#include "apps/bookmarks/bookmark_file.h"
#include "apps/common/semicolon_csv.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QString kControlled =
    QString("a") + QChar(0x01) + "b" + QChar(0x07) + "c" + QChar(0x1B) + "d" + QChar(0x7F) + "e\tf";
const QString kBlanked = "a b c d e\tf";

// Bytes below 0x20 other than the tabulator, CR and LF, and 0x7F.
int ControlBytes(const QByteArray& file) {
    int found = 0;
    for (const char byte : file) {
        const auto b = static_cast<unsigned char>(byte);
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F) ++found;
    }
    return found;
}

TEST(ExportedControlCharacters, BecomeBlanksInEveryExportFile) {
    SemicolonCsv csv;
    csv.addLine({kControlled, CsvLongText(kControlled + "\r\nzweite Zeile")});
    EXPECT_EQ(csv.bytes(), ("a b c d e\tf;a b c d e\tf zweite Zeile;\r"));

    const QByteArray ics =
        WriteICalendar({{QDate(2008, 1, 25), QTime(18, 30), kControlled + "\r\nzweite"}},
                       QDateTime(QDate(2008, 1, 20), QTime(10, 0), QTimeZone::utc()));
    EXPECT_EQ(ControlBytes(ics), 0);
    EXPECT_TRUE(ics.contains("SUMMARY:" + kBlanked.toUtf8() + "\\nzweite\r\n")) << ics.data();

    const QByteArray html = WriteBookmarkFile({{.category = "Kat" + kControlled,
                                                .title = kControlled,
                                                .address = "https://x.de/" + kControlled,
                                                .comment = kControlled + "\r\nzwei"}});
    EXPECT_EQ(ControlBytes(html), 0);
    EXPECT_TRUE(html.contains(">" + kBlanked.toUtf8() + "</A>")) << html.data();
    EXPECT_TRUE(html.contains("<DD>" + kBlanked.toUtf8() + "\nzwei")) << html.data();
}

}  // namespace
