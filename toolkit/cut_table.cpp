#include "toolkit/cut_table.h"

#include "store/xbase.h"
#include "toolkit/browse_view.h"
#include "toolkit/form_window.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <utility>

namespace kesp {
namespace {

int openScopes = 0;

QSet<QString>& TablesBeingLetGo() {
    static QSet<QString> tables;
    return tables;
}

void TellInEnglish(const Fault& fault) {
    MSGEXCLAMATION(QStringLiteral("The table %1 was cut short by another program while it was "
                                  "open and can no longer be read. Nothing was written to it.\r"
                                  "The window showing it was closed; everything else is as it was.")
                       .arg(fault.fileName),
                   QStringLiteral("Varnel Kesp 2.0"));
}

CutTableNotice& Notice() {
    static CutTableNotice notice = TellInEnglish;
    return notice;
}

// Empties the window's lists of the tables cut; whether it had one.
bool EmptyListsOf(FormWindow* window, const QStringList& aliases) {
    bool any = false;
    for (BrowseView* list : window->findChildren<BrowseView*>()) {
        auto* rows = dynamic_cast<BrowseModel*>(list->model());
        if (rows == nullptr || !aliases.contains(rows->alias(), Qt::CaseInsensitive)) continue;
        // Nothing more to read, also for a list that is not gone yet.
        rows->clear();
        any = true;
    }
    return any;
}

void LetGoNow(const Fault& fault) {
    const QStringList aliases = DBCLOSECUTAREAS();
    QList<QPointer<FormWindow>> showing;
    // The main window stays: closing it would end the program.
    for (FormWindow* window : FormWindows())
        if (EmptyListsOf(window, aliases) && window->kind() != WindowKind::Main) showing << window;
    // Innermost first: a window opened from another closes before it.
    for (auto it = showing.rbegin(); it != showing.rend(); ++it)
        if (*it != nullptr) (*it)->release();
    TablesBeingLetGo().remove(fault.fileName);
    Notice()(fault);
}

}  // namespace

CutTableScope::CutTableScope() {
    ++openScopes;
}

CutTableScope::~CutTableScope() {
    --openScopes;
}

bool InCutTableScope() {
    return openScopes > 0;
}

void LetGoOfCutTable(const Fault& fault) {
    if (TablesBeingLetGo().contains(fault.fileName)) return;
    TablesBeingLetGo().insert(fault.fileName);
    QTimer::singleShot(0, QCoreApplication::instance(), [fault] { LetGoNow(fault); });
}

bool LettingGoOfCutTable(const QString& tablePath) {
    return TablesBeingLetGo().contains(tablePath);
}

void SetCutTableNotice(CutTableNotice notice) {
    Notice() = notice ? std::move(notice) : CutTableNotice(TellInEnglish);
}

}  // namespace kesp
