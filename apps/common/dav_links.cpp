#include "apps/common/dav_links.h"

#include "store/fault.h"
#include "store/live_records.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QFileInfo>

#include <limits>
#include <numeric>

namespace {

const QString kAlias = QStringLiteral("davlinks");
constexpr int kNameWidth = 81;
constexpr int kUidWidth = 200;
constexpr int kHrefWidth = 254;
constexpr int kEtagWidth = 100;

class OpenLinks {
  public:
    explicit OpenLinks(const QString& path) : previous_(SELECT()) {
        if (!QFileInfo::exists(path))
            kesp::CreateTableWhole(path,
                                   {{"SATZ", 'N', 10, 0},
                                    {"NAME", 'C', kNameWidth, 0},
                                    {"UID", 'C', kUidWidth, 0},
                                    {"HREF", 'C', kHrefWidth, 0},
                                    {"ETAG", 'C', kEtagWidth, 0},
                                    {"STAND", 'C', 64, 0},
                                    {"BASIS", 'M', 10, 0}},
                                   kesp::MemoKind::Fpt);
        DBUSEAREA(true, path, kAlias);
    }
    ~OpenLinks() {
        DBSELECTAREA(kAlias);
        DBCLOSEAREA();
        DBSELECTAREA(previous_);
    }
    OpenLinks(const OpenLinks&) = delete;
    OpenLinks& operator=(const OpenLinks&) = delete;

    static QString text(const char* field) {
        return FIELD(kAlias + "->" + field).toString().trimmed();
    }

  private:
    int previous_;
};

}  // namespace

QList<DavLink> ReadDavLinks(const QString& path) {
    QList<DavLink> links;
    for (int row = 1; row > 0;)
        row = ReadDavLinksFrom(path, row, std::numeric_limits<int>::max(), links);
    return links;
}

int ReadDavLinksFrom(const QString& path, int fromRow, int count, QList<DavLink>& links) {
    if (!QFileInfo::exists(path)) return 0;
    OpenLinks open(path);
    const int last = RECCOUNT();
    int row = fromRow;
    for (; row <= last && row - fromRow < count; ++row) {
        DBGOTO(row);
        if (DELETED()) continue;
        links.append({.row = row,
                      .record = FIELD(kAlias + "->SATZ").toInt(),
                      .nameKey = OpenLinks::text("NAME"),
                      .uid = OpenLinks::text("UID"),
                      .href = OpenLinks::text("HREF"),
                      .etag = OpenLinks::text("ETAG").toLatin1(),
                      .agreed = OpenLinks::text("STAND").toLatin1(),
                      .agreedBody = QByteArray::fromBase64(OpenLinks::text("BASIS").toLatin1())});
    }
    return row > last ? 0 : row;
}

void WriteDavLinks(const QString& path, QList<DavLink>& links) {
    QList<int> every(links.size());
    std::iota(every.begin(), every.end(), 0);
    WriteDavLinks(path, links, every);
}

void WriteDavLinks(const QString& path, QList<DavLink>& links, const QList<int>& which) {
    OpenLinks open(path);
    try {
        for (const int at : which) {
            DavLink& link = links[at];
            if (link.dropped) {
                if (link.row > 0) {
                    DBGOTO(link.row);
                    DBDELETE();
                }
                continue;
            }
            if (link.row > 0) {
                DBGOTO(link.row);
            } else {
                DBAPPEND();
                link.row = RECNO();
            }
            REPLACE(kAlias + "->SATZ", link.record);
            REPLACE(kAlias + "->NAME", link.nameKey);
            REPLACE(kAlias + "->UID", link.uid);
            REPLACE(kAlias + "->HREF", link.href);
            REPLACE(kAlias + "->ETAG", QString::fromLatin1(link.etag));
            REPLACE(kAlias + "->STAND", QString::fromLatin1(link.agreed));
            REPLACE(kAlias + "->BASIS", QString::fromLatin1(link.agreedBody.toBase64()));
        }
        DBCOMMIT();
    } catch (const kesp::WriteFailure&) {
        DBROLLBACK();
        throw;
    }
}
