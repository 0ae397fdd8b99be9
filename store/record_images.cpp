#include "store/record_images.h"

#include "store/area_orders.h"
#include "store/dbf_format.h"
#include "store/work_area.h"

using namespace kesp::store::areas;

RecordImage::RecordImage() {
    const kesp::store::DbfTable& table = *UsedArea("RecordImage").table;
    tablePath_ = table.path();
    fields_ = table.fields();
    bytes_ = QByteArray(table.recordLength(), ' ');
}

int RecordImage::field(const QString& name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0 &&
            fields_[i].type != 'M')
            return static_cast<int>(i);
    RaiseStoreFault(1003, QStringLiteral("Variable does not exist"), name.trimmed());
}

void RecordImage::set(int field, const QVariant& value) {
    if (field < 0 || std::size_t(field) >= fields_.size() || fields_[field].type == 'M')
        RaiseStoreFault(1003, QStringLiteral("Variable does not exist"),
                        QStringLiteral("RecordImage::set"));
    kesp::store::PutFieldValue(fields_[field], value, bytes_.data());
}

void DBAPPENDIMAGE(const RecordImage& image) {
    Area& area = UsedArea("DBAPPENDIMAGE");
    kesp::store::DbfTable& table = *area.table;
    if (image.tablePath() != table.path() ||
        image.bytes().size() != qsizetype(table.recordLength()))
        RaiseStoreFault(1003, QStringLiteral("Record image of another table"),
                        QStringLiteral("DBAPPENDIMAGE"), table.path());
    const std::uint64_t before = table.generation();
    table.AppendRecord(image.bytes().constData());
    TakeInAppendedRecord(area, before);
}
