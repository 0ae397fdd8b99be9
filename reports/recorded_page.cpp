#include "reports/recorded_page.h"

QDataStream& operator<<(QDataStream& out, const RecordedPage& page) {
    out << page.paperMm << qint32(page.pictures.size());
    for (const PagePicture& p : page.pictures)
        out << p.areaMm << p.file;
    out << qint32(page.texts.size());
    for (const PageText& t : page.texts) {
        out << qint32(t.line) << qint32(t.column) << t.text << t.family << qint32(t.pointSize)
            << t.bold;
    }
    return out;
}

QDataStream& operator>>(QDataStream& in, RecordedPage& page) {
    page = {};
    qint32 count = 0;
    in >> page.paperMm >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        PagePicture p;
        in >> p.areaMm >> p.file;
        page.pictures.append(p);
    }
    in >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        PageText t;
        qint32 line = 0, column = 0, size = 0;
        in >> line >> column >> t.text >> t.family >> size >> t.bold;
        t.line = line;
        t.column = column;
        t.pointSize = size;
        page.texts.append(t);
    }
    return in;
}
