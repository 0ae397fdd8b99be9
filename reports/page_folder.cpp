#include "reports/page_folder.h"

#include "store/fault.h"

#include <QDir>
#include <QFile>

namespace {

[[noreturn]] void PageFault(const QString& description, const QString& file) {
    kesp::Fault fault;
    fault.subsystem = "REPORT";
    fault.subCode = 3001;
    fault.description = description;
    fault.fileName = file;
    kesp::RaiseFault(fault);
}

}  // namespace

PageFolder::PageFolder() : folder_(QDir::tempPath() + "/kesp-pages-XXXXXX") {
    if (!folder_.isValid()) PageFault("Create error", QDir::tempPath());
    file_.setFileName(folder_.filePath("pages.kpg"));
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Truncate))
        PageFault("Create error", file_.fileName());
    starts_.push_back(0);
}

void PageFolder::addPage(RecordedPage page) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << page;
    if (!file_.seek(starts_.back()) || file_.write(bytes) != bytes.size())
        PageFault("Write error", file_.fileName());
    starts_.push_back(starts_.back() + bytes.size());
    ++count_;
}

RecordedPage PageFolder::page(int index) const {
    const qint64 start = starts_[size_t(index)];
    const qint64 length = starts_[size_t(index) + 1] - start;
    QByteArray bytes;
    if (file_.seek(start)) bytes = file_.read(length);
    if (bytes.size() != length) PageFault("Read error", file_.fileName());
    QDataStream in(bytes);
    RecordedPage page;
    in >> page;
    if (in.status() != QDataStream::Ok) PageFault("Read error", file_.fileName());
    return page;
}
