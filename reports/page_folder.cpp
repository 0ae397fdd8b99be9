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
}

QString PageFolder::pageFile(int index) const {
    return folder_.filePath(QString::number(index + 1).rightJustified(4, '0') + ".kpg");
}

void PageFolder::addPage(RecordedPage page) {
    const QString name = pageFile(count_);
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly)) PageFault("Create error", name);
    QDataStream out(&file);
    out << page;
    if (out.status() != QDataStream::Ok || !file.flush()) PageFault("Write error", name);
    ++count_;
}

RecordedPage PageFolder::page(int index) const {
    const QString name = pageFile(index);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) PageFault("Open error", name);
    QDataStream in(&file);
    RecordedPage page;
    in >> page;
    if (in.status() != QDataStream::Ok) PageFault("Read error", name);
    return page;
}
