#include "shell/word_commands.h"

#include "apps/common/export_file.h"
#include "apps/words/dictionary_lookup.h"
#include "apps/words/learn_marks.h"
#include "apps/words/lookup_window.h"
#include "apps/words/word_index.h"
#include "apps/words/word_list_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/command_steps.h"
#include "shell/lookup_service.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

const Texts kNoDesktop{
    "Keine Auswahl zu lesen: es läuft keine grafische Sitzung. Bitte das Wort angeben.",
    "No selection to read: no graphical session runs. Please give the word.",
    "Nenhuma seleção para ler: não há sessão gráfica. Por favor, indique a palavra."};
const Texts kNothingSelected{"Es ist nichts ausgewählt.", "Nothing is selected.",
                             "Nada está selecionado."};
const Texts kWindowNeedsDesktop{
    "Das Fenster zum Nachschlagen braucht eine grafische Sitzung; kesp --lookup druckt die "
    "Paare ohne.",
    "The lookup window needs a graphical session; kesp --lookup prints the pairs without one.",
    "A janela de consulta precisa de uma sessão gráfica; kesp --lookup mostra os pares sem ela."};
const Texts kDictionaryHeld{
    "Das Wörterbuch kann gerade nicht gelesen werden: ein anderes Programm hält es.",
    "The dictionary cannot be read now: another program holds it.",
    "O dicionário não pode ser lido agora: outro programa o está usando."};

bool DesktopThere() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The text to look up: the words given, else the desktop's primary selection
// (the clipboard where the desktop has none, as on many Wayland desktops);
// empty, the reason written, when there is none.
QString TextToLookUp(const QStringList& words) {
    if (!words.isEmpty()) return words.join(QLatin1Char(' '));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        Err() << TEXT(kNoDesktop) << Qt::endl;
        return {};
    }
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = clipboard->text(clipboard->supportsSelection() ? QClipboard::Selection
                                                                        : QClipboard::Clipboard);
    if (text.trimmed().isEmpty()) Err() << TEXT(kNothingSelected) << Qt::endl;
    return text.trimmed();
}

const WordIndex* Dictionary() {
    return DictionaryIndex(THE_DATA_PATH + QStringLiteral("de_en.dbf"), false);
}

}  // namespace

bool WordCommandNeedsDesktop(int argc, char** argv) {
    if (argc < 2 || !DesktopThere()) return false;
    const QByteArray command(argv[1]);
    return command == "--lookup-window" || (command == "--lookup" && argc == 2);
}

int LookupCommand(const QStringList& words) {
    PrepareReadingCommand();
    const QString text = TextToLookUp(words);
    if (text.isEmpty()) return 2;
    const WordIndex* index = Dictionary();
    if (!index) {
        Err() << TEXT(kDictionaryHeld) << Qt::endl;
        return 1;
    }
    const DictionaryAnswer answer = LookUpSelection(*index, text);
    for (const QString& line : AnswerLines(*index, answer))
        Out() << line << '\n';
    Out().flush();
    return answer.anything() ? 0 : 1;
}

int LookupWindowCommand(const QStringList& words) {
    PrepareReadingCommand();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        Err() << TEXT(kWindowNeedsDesktop) << Qt::endl;
        return 1;
    }
    const QString text = TextToLookUp(words);
    if (text.isEmpty()) return 2;
    if (AskRunningCopyToLookUp(text)) return 0;
    // No copy runs: this one shows the window until it closes.
    ShowLookupWindow(Dictionary(), text, [] { QCoreApplication::quit(); });
    return QApplication::exec();
}

int ExportLearnCommand(const QStringList& arguments) {
    if (arguments.size() != 1 || arguments[0].isEmpty()) {
        PrepareReadingCommand();
        Err() << TEXT({"Aufruf: kesp --export-learn DATEI", "Usage: kesp --export-learn FILE",
                       "Uso: kesp --export-learn ARQUIVO"})
              << Qt::endl;
        return 2;
    }
    const QString path = QFileInfo(arguments[0]).absoluteFilePath();
    if (!PrepareCommand()) return 1;
    QList<LearnPair> marks;
    ReadLearnMarks(THE_DATA_PATH + kLearnMarksTable, &marks);
    if (!WriteCommandFile(path, LearnFileBytes(marks), TEXT(word_texts::kLearnNotWritten)))
        return 1;
    Out() << COUNTED(static_cast<int>(marks.size()), word_texts::kOneExported,
                     word_texts::kManyExported)
          << '\n'
          << QDir::toNativeSeparators(path) << Qt::endl;
    return 0;
}
