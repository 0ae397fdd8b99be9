#include "toolkit/context_menu.h"

#include "toolkit/controls.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAction>
#include <QPointer>
#include <QShortcut>

namespace kesp {
namespace {

class MenuItemControl : public Control {
  public:
    MenuItemControl(const QString& name, QAction* item) : Control(name, nullptr), item_(item) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index != 0 || item_ == nullptr) return false;
        if (property == QLatin1String("caption")) {
            item_->setText(value.toString());
        } else if (property == QLatin1String("enabled")) {
            item_->setEnabled(value.toBool());
        } else {
            return false;
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index != 0 || item_ == nullptr) return std::nullopt;
        if (property == QLatin1String("caption")) return item_->text();
        if (property == QLatin1String("enabled")) return item_->isEnabled();
        return std::nullopt;
    }
    bool userClick() override {
        // A disabled item cannot be chosen from the menu.
        if (item_ != nullptr && item_->isEnabled()) item_->trigger();
        return true;
    }

  private:
    QPointer<QAction> item_;
};

}  // namespace

QMenu* AttachContextMenu(QWidget* owner) {
    auto* menu = new QMenu(owner);
    // Lists report the place in their viewport's coordinates.
    auto* scrolled = qobject_cast<QAbstractScrollArea*>(owner);
    QWidget* origin = scrolled != nullptr ? scrolled->viewport() : owner;
    owner->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(owner, &QWidget::customContextMenuRequested, menu,
                     [origin, menu](const QPoint& at) { menu->popup(origin->mapToGlobal(at)); });
    // Shift+F10, the menu key of keyboards without one: the menu opens at
    // the current row of a list, else in the middle of the control.
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), owner);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, menu, [owner, origin] {
        QPoint at = origin->rect().center();
        if (auto* view = qobject_cast<QAbstractItemView*>(owner);
            view != nullptr && view->currentIndex().isValid())
            at = view->visualRect(view->currentIndex()).center();
        emit owner->customContextMenuRequested(at);
    });
    return menu;
}

std::unique_ptr<Control> MakeMenuItem(QMenu* menu, const QString& name,
                                      const MenuItemProperties& p) {
    QAction* item = menu->addAction(p.caption);
    // The menu is a window of its own: the step is one of the window of its control.
    QObject::connect(item, &QAction::triggered, menu,
                     [menu, action = p.action] { RunStep(menu->parentWidget(), action); });
    return std::make_unique<MenuItemControl>(name, item);
}

}  // namespace kesp
