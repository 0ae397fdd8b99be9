#include "shell/list_window.h"

#include "toolkit/control.h"
#include "toolkit/focus_mark.h"
#include "toolkit/form_window.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <memory>

namespace {

constexpr int kListHeight = 330;
constexpr int kButtonHeight = 28;
constexpr int kCloseWidth = 120;

}  // namespace

void DefineListWindow(const ListWindow& described) {
    _DEFINEMODALWINDOW(described.window, {.title = TEXT(described.title),
                                          .row = 100,
                                          .col = 200,
                                          .width = described.width,
                                          .height = described.height,
                                          .icon = "img/kespico.ico",
                                          .onInit = described.onInit});
    if (described.defineAbove) described.defineAbove();
    kesp::FormWindow* window = kesp::FormWindowNamed(described.window);
    const int inner = described.width - 25;
    auto* list = new kesp::FocusMarkedTree(window);
    list->setColumnCount(int(described.headers.size()));
    if (!described.rootDecorated) list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    if (described.severalChosen) list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHeaderLabels(described.headers);
    list->setAccessibleName(TEXT(described.title));
    for (int column = 0; column < described.sectionWidths.size(); ++column)
        list->header()->resizeSection(column, described.sectionWidths[column]);
    window->addControl(std::make_unique<kesp::Control>(kListWindowList, list));
    kesp::PlaceControl(list, described.listTop, 10, inner, kListHeight);
    _DEFINELABEL(described.line, {.row = described.lineRow,
                                  .col = 10,
                                  .width = inner,
                                  .height = 20,
                                  .background = Qt::white});
    for (const ListWindowButton& button : described.buttons) {
        const bool closes = !button.action;
        const QString name = described.window;
        _DEFINEBUTTON(button.name,
                      {.row = described.buttonRow,
                       .col = closes ? described.width - kCloseWidth - 15 : button.col,
                       .width = closes ? kCloseWidth : button.width,
                       .height = kButtonHeight,
                       .caption = TEXT(closes ? kCloseCaption : button.caption),
                       .action = closes ? Action([name] { RELEASEWINDOW(name); }) : button.action});
    }
    _ENDWINDOW();
}

QTreeWidget* ListOf(const QString& window) {
    return static_cast<QTreeWidget*>(
        kesp::FormWindowNamed(window)->control(kListWindowList)->widget());
}
