#include "toolkit/containers.h"

#include "toolkit/controls.h"
#include "toolkit/focus_mark.h"
#include "toolkit/looks.h"
#include "toolkit/tab_page.h"

#include <QLayout>
#include <QTabBar>
#include <QToolButton>

namespace kesp {
namespace {

bool Is(const QString& property, const char* name) {
    return property == QLatin1String(name);
}

class ToolButtonControl : public Control {
  public:
    ToolButtonControl(const QString& name, QToolButton* button, Action action)
        : Control(name, button), button_(button), action_(std::move(action)) {
        QObject::connect(button_, &QToolButton::clicked, button_,
                         [this] { RunStep(button_, action_); });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "caption")) {
            button_->setText(value.toString());
            return true;
        }
        return Control::set(property, index, value);
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "caption")) return button_->text();
        return Control::get(property, index);
    }
    bool userClick() override {
        // The bar lays its buttons out later; what the user can reach is
        // decided by the bar being shown.
        QWidget* bar = button_->parentWidget();
        if (button_->isEnabled() && bar->isVisibleTo(bar->window())) button_->click();
        return true;
    }

  private:
    QToolButton* button_;
    Action action_;
};

}  // namespace

TabControl::TabControl(const QString& name, QTabWidget* tabs, int firstPage)
    : Control(name, tabs), tabs_(tabs), firstPage_(firstPage) {}

QWidget* TabControl::addPage(const QString& caption) {
    auto* page = new TabPage;
    // Pages share the white of the program's windows.
    SetBackground(page, Qt::white);
    tabs_->addTab(page, caption);
    return page;
}

void TabControl::finish() {
    if (firstPage_ >= 1 && firstPage_ <= tabs_->count()) tabs_->setCurrentIndex(firstPage_ - 1);
}

bool TabControl::set(const QString& property, int index, const QVariant& value) {
    if (index == 0 && Is(property, "value")) {
        tabs_->setCurrentIndex(RequireNumber(value, QStringLiteral("tab value")) - 1);
    } else if (index > 0 && Is(property, "caption") && index <= tabs_->count()) {
        tabs_->setTabText(index - 1, value.toString());
    } else {
        return Control::set(property, index, value);
    }
    return true;
}

std::optional<QVariant> TabControl::get(const QString& property, int index) const {
    if (index == 0 && Is(property, "value")) return tabs_->currentIndex() + 1;
    if (index > 0 && Is(property, "caption") && index <= tabs_->count())
        return tabs_->tabText(index - 1);
    return Control::get(property, index);
}

bool TabControl::userSelect(int oneBasedIndex) {
    tabs_->tabBar()->setCurrentIndex(oneBasedIndex - 1);
    return true;
}

std::unique_ptr<TabControl> MakeTab(QWidget* parent, const QString& name, const TabProperties& p) {
    auto* tabs = new QTabWidget(parent);
    tabs->setFont(MakeFont(p.font));
    tabs->setUsesScrollButtons(!p.multiLine);
    PlaceControl(tabs, p.row, p.col, p.width, p.height);
    return std::make_unique<TabControl>(name, tabs, p.value);
}

ToolBarControl::ToolBarControl(const QString& name, QToolBar* bar, const ToolBarProperties& p)
    : Control(name, bar), bar_(bar), properties_(p) {}

std::unique_ptr<Control> ToolBarControl::addButton(const QString& name,
                                                   const ToolButtonProperties& p) {
    auto* button = new FocusMarkedToolButton(bar_);
    button->setObjectName(name);
    button->setText(p.caption);
    button->setToolTip(p.tooltip);
    button->setAutoRaise(properties_.flat);
    button->setFont(MakeFont(properties_.font));
    button->setIconSize({properties_.imageWidth, properties_.imageHeight});
    const QIcon icon = LoadIcon(p.picture);
    if (!icon.isNull()) button->setIcon(icon);
    if (p.caption.isEmpty())
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    else
        button->setToolButtonStyle(properties_.captionRight ? Qt::ToolButtonTextBesideIcon
                                                            : Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(properties_.buttonWidth, properties_.buttonHeight);
    bar_->addWidget(button);
    return std::make_unique<ToolButtonControl>(name, button, p.action);
}

std::unique_ptr<ToolBarControl> MakeToolBar(QWidget* window, const QString& name,
                                            const ToolBarProperties& p) {
    auto* bar = new QToolBar(window);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
    bar->setIconSize({p.imageWidth, p.imageHeight});
    bar->setFont(MakeFont(p.font));
    bar->setStyleSheet(QStringLiteral("QToolBar { border: 0px; spacing: 0px; padding: 0px; }"));
    // Controls keep the rows they were given; the bar lies over the top (or
    // bottom) strip of the client area, which the window leaves free for it.
    const int height = p.buttonHeight;
    const int row = p.bottom ? window->height() - height : 0;
    bar->setGeometry(0, row, window->width(), height);
    bar->raise();
    bar->show();
    return std::make_unique<ToolBarControl>(name, bar, p);
}

}  // namespace kesp
