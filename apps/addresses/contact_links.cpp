#include "apps/addresses/contact_links.h"

#include "apps/addresses/card_merge.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <limits>

namespace {

const QString kAlias = QStringLiteral("contactlinks");
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

QString ContactLinksTable(AddressBookKind kind) {
    return kind == AddressBookKind::Private ? QStringLiteral("carddav_p.dbf")
                                            : QStringLiteral("carddav_g.dbf");
}

QByteArray ValuesFingerprint(const AddressValues& values, const QStringList& fields) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& field : fields) {
        const QVariant& value = values.value(field);
        QString text;
        if (value.typeId() == QMetaType::QDate)
            text = value.toDate().toString(Qt::ISODate);
        else if (value.typeId() == QMetaType::Bool)
            text = value.toBool() ? QStringLiteral("T") : QString();
        else
            text = value.toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed();
        hash.addData((field + u'=' + text + u'\x1f').toUtf8());
    }
    return hash.result().toHex();
}

QList<ContactLink> ReadContactLinks(const QString& path) {
    QList<ContactLink> links;
    for (int row = 1; row > 0;)
        row = ReadContactLinksFrom(path, row, std::numeric_limits<int>::max(), links);
    return links;
}

int ReadContactLinksFrom(const QString& path, int fromRow, int count, QList<ContactLink>& links) {
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
                      .agreedCard = QByteArray::fromBase64(OpenLinks::text("BASIS").toLatin1())});
    }
    return row > last ? 0 : row;
}

void WriteContactLinks(const QString& path, QList<ContactLink>& links, const QList<int>& which) {
    OpenLinks open(path);
    try {
        for (const int at : which) {
            ContactLink& link = links[at];
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
            REPLACE(kAlias + "->BASIS", QString::fromLatin1(link.agreedCard.toBase64()));
        }
        DBCOMMIT();
    } catch (const kesp::WriteFailure&) {
        DBROLLBACK();
        throw;
    }
}
