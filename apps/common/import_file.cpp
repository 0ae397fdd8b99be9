#include "apps/common/import_file.h"

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

// What the policy says of the file before it is read.
ImportFileProblem Refused(const QFileInfo& file) {
    if (!file.isFile()) return ImportFileProblem::CannotRead;
    if (file.size() > kImportMaxBytes) return ImportFileProblem::TooLarge;
    return ImportFileProblem::None;
}

ImportFileReading ReadWhole(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {.problem = ImportFileProblem::CannotRead};
    ImportFileReading reading{.bytes = file.read(kImportMaxBytes + 1)};
    if (file.error() != QFileDevice::NoError || reading.bytes.size() != size)
        return {.problem = ImportFileProblem::NotReadWhole};
    return reading;
}

}  // namespace

ImportFileReading ReadImportFile(const QString& path) {
    const QFileInfo file(path);
    const ImportFileProblem problem = Refused(file);
    if (problem != ImportFileProblem::None) return {.problem = problem};
    return ReadWhole(path, file.size());
}

QString ImportRefusalText(const QString& path, const QString& why) {
    return TEXT({"Die Datei wurde nicht eingelesen, nichts wurde gespeichert:",
                 "The file was not imported, nothing was stored:",
                 "O arquivo não foi importado, nada foi gravado:"}) +
           "\r" + QDir::toNativeSeparators(path) + "\r" + why;
}

QString ImportRefusalText(const QString& path, ImportFileProblem problem) {
    Texts why{"Die Datei kann nicht gelesen werden.", "The file cannot be read.",
              "O arquivo não pode ser lido."};
    if (problem == ImportFileProblem::TooLarge)
        why = {"Sie ist größer als 50 MB.", "It is larger than 50 MB.", "Ele é maior que 50 MB."};
    else if (problem == ImportFileProblem::NotReadWhole)
        why = {"Sie konnte nicht ganz gelesen werden.", "It could not be read whole.",
               "Não foi possível lê-lo inteiro."};
    return ImportRefusalText(path, TEXT(why));
}

std::optional<QByteArray> OpenImportFile(const QString& path, const QString& title) {
    const QFileInfo file(path);
    ImportFileProblem problem = Refused(file);
    if (problem == ImportFileProblem::None && file.size() > kImportAskAboveBytes &&
        !MSGYESNO(TEXT({"Die Datei ist %1 MB groß; der Import kann eine Weile dauern. "
                        "Trotzdem importieren?",
                        "The file is %1 MB large; importing it may take a while. Import it "
                        "anyway?",
                        "O arquivo tem %1 MB; a importação pode demorar. Importar mesmo assim?"})
                      .arg(file.size() / kMegabyte),
                  title))
        return std::nullopt;
    ImportFileReading reading;
    if (problem == ImportFileProblem::None) reading = ReadWhole(path, file.size());
    if (problem == ImportFileProblem::None) problem = reading.problem;
    if (problem != ImportFileProblem::None) {
        MSGEXCLAMATION(ImportRefusalText(path, problem), title);
        return std::nullopt;
    }
    return reading.bytes;
}
