#include "apps/addresses/contact_links.h"

#include "apps/addresses/card_merge.h"

#include <QCryptographicHash>

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
