#include "tests/apps/other_reader.h"

#include <QProcess>

QStringList ReadWithDbfread(const QString& tablePath, const QString& field) {
    const char* script =
        "import sys, dbfread\n"
        "for r in dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='replace'):\n"
        "    print(str(r[sys.argv[2]]).strip())\n";
    QProcess python;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PYTHONIOENCODING", "utf-8");
    python.setProcessEnvironment(environment);
    python.start("/usr/bin/python3", {"-c", script, tablePath, field});
    if (!python.waitForFinished(60000)) return {"<dbfread: did not finish>"};
    if (python.exitCode() != 0)
        return {"<dbfread: " + QString::fromUtf8(python.readAllStandardError()) + ">"};
    QStringList values = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    values.removeLast();  // after the last line's end
    return values;
}
