// Check boxes, combo boxes, list boxes and radio groups.
#include "toolkit/controls.h"
#include "toolkit/fault_handler.h"
#include "toolkit/looks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QStyledItemDelegate>

namespace kesp {
namespace {

bool Is(const QString& property, const char* name) {
    return property == QLatin1String(name);
}

class CheckBoxControl : public Control {
  public:
    CheckBoxControl(const QString& name, QCheckBox* box) : Control(name, box), box_(box) {}

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            box_->setChecked(value.toBool());
        } else if (index == 0 && Is(property, "caption")) {
            box_->setText(value.toString());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) return box_->isChecked();
        if (index == 0 && Is(property, "caption")) return box_->text();
        return Control::get(property, index);
    }
    bool userClick() override {
        if (box_->isEnabled() && box_->isVisibleTo(box_->window())) box_->click();
        return true;
    }

  private:
    QCheckBox* box_;
};

class ComboBoxControl : public Control {
  public:
    ComboBoxControl(const QString& name, QComboBox* combo, Action onChange)
        : Control(name, combo), combo_(combo), onChange_(std::move(onChange)) {
        QObject::connect(combo_, &QComboBox::currentIndexChanged, combo_,
                         [this] { RunAction(onChange_); });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            combo_->setCurrentIndex(RequireNumber(value, QStringLiteral("combo box value")) - 1);
        } else if (index > 0 && Is(property, "item")) {
            requireItem(index);
            combo_->setItemText(index - 1, value.toString());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) return combo_->currentIndex() + 1;
        if (index == 0 && Is(property, "itemcount")) return combo_->count();
        if (index > 0 && Is(property, "item")) {
            requireItem(index);
            return combo_->itemText(index - 1);
        }
        return Control::get(property, index);
    }
    bool invoke(const QString& method, const QVariant& argument) override {
        if (method == QLatin1String("additem")) {
            combo_->addItem(argument.toString());
        } else if (method == QLatin1String("deleteallitems")) {
            combo_->clear();
        } else {
            return Control::invoke(method, argument);
        }
        return true;
    }
    bool userSelect(int oneBasedIndex) override {
        combo_->setCurrentIndex(oneBasedIndex - 1);
        return true;
    }

  private:
    void requireItem(int index) const {
        if (index > combo_->count())
            RaiseFormsFault(
                QStringLiteral("Item %1 of combo box %2 does not exist.").arg(index).arg(name()));
    }

    QComboBox* combo_;
    Action onChange_;
};

// The height of an item whose lines wrap: its text laid out at the width the
// list leaves it beside its tick.
class WrappingItems : public QStyledItemDelegate {
  public:
    explicit WrappingItems(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        item.features |= QStyleOptionViewItem::WrapText;
        const QStyle* style = list_->style();
        int beside = 4 * style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, list_);
        if (item.features & QStyleOptionViewItem::HasCheckIndicator)
            beside += style->pixelMetric(QStyle::PM_IndicatorWidth, &item, list_) +
                      2 * style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, list_);
        item.rect = QRect(0, 0, std::max(40, list_->viewport()->width() - beside), 1);
        return QStyledItemDelegate::sizeHint(item, index);
    }

  private:
    QListWidget* list_;
};

class ListBoxControl : public Control {
  public:
    ListBoxControl(const QString& name, QListWidget* list, const ListBoxProperties& p)
        : Control(name, list),
          list_(list),
          onChange_(p.onChange),
          onCheck_(p.onCheck),
          checkable_(p.checkable) {
        QObject::connect(list_, &QListWidget::currentRowChanged, list_,
                         [this] { RunAction(onChange_); });
        QObject::connect(list_, &QListWidget::itemChanged, list_, [this] {
            if (!setting_) RunAction(onCheck_);
        });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            list_->setCurrentRow(RequireNumber(value, QStringLiteral("list box value")) - 1);
        } else if (index > 0 && Is(property, "item") && index <= list_->count()) {
            list_->item(index - 1)->setText(value.toString());
        } else if (index > 0 && Is(property, "checked") && checkable_ && index <= list_->count()) {
            setting_ = true;
            list_->item(index - 1)->setCheckState(value.toBool() ? Qt::Checked : Qt::Unchecked);
            setting_ = false;
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) return list_->currentRow() + 1;
        if (index == 0 && Is(property, "itemcount")) return list_->count();
        if (index > 0 && Is(property, "item") && index <= list_->count())
            return list_->item(index - 1)->text();
        if (index > 0 && Is(property, "checked") && checkable_ && index <= list_->count())
            return list_->item(index - 1)->checkState() == Qt::Checked;
        return Control::get(property, index);
    }
    bool invoke(const QString& method, const QVariant& argument) override {
        if (method == QLatin1String("additem")) {
            setting_ = true;
            auto* item = new QListWidgetItem(argument.toString(), list_);
            if (checkable_) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            setting_ = false;
        } else if (method == QLatin1String("deleteallitems")) {
            list_->clear();
        } else {
            return Control::invoke(method, argument);
        }
        return true;
    }
    bool userSelect(int oneBasedIndex) override {
        list_->setCurrentRow(oneBasedIndex - 1);
        return true;
    }

  private:
    QListWidget* list_;
    Action onChange_;
    Action onCheck_;
    bool checkable_;
    bool setting_ = false;  // the program sets a tick: no action
};

class RadioGroupControl : public Control {
  public:
    RadioGroupControl(const QString& name, QWidget* box, QButtonGroup* group, Action onChange)
        : Control(name, box), group_(group), onChange_(std::move(onChange)) {
        QObject::connect(group_, &QButtonGroup::idToggled, box, [this](int, bool checked) {
            if (checked) RunAction(onChange_);
        });
    }

    bool set(const QString& property, int index, const QVariant& value) override {
        if (index == 0 && Is(property, "value")) {
            const int chosen = RequireNumber(value, QStringLiteral("radio group value"));
            if (QAbstractButton* option = group_->button(chosen)) {
                option->setChecked(true);
            } else if (QAbstractButton* checked = group_->checkedButton()) {
                group_->setExclusive(false);
                checked->setChecked(false);
                group_->setExclusive(true);
            }
        } else if (index > 0 && Is(property, "caption") && group_->button(index) != nullptr) {
            group_->button(index)->setText(value.toString());
        } else {
            return Control::set(property, index, value);
        }
        return true;
    }
    std::optional<QVariant> get(const QString& property, int index) const override {
        if (index == 0 && Is(property, "value")) return std::max(0, group_->checkedId());
        if (index > 0 && Is(property, "caption") && group_->button(index) != nullptr)
            return group_->button(index)->text();
        return Control::get(property, index);
    }
    bool userSelect(int oneBasedIndex) override {
        if (QAbstractButton* option = group_->button(oneBasedIndex)) option->click();
        return true;
    }

  private:
    QButtonGroup* group_;
    Action onChange_;
};

}  // namespace

std::unique_ptr<Control> MakeCheckBox(QWidget* parent, const QString& name,
                                      const CheckBoxProperties& p) {
    auto* box = new QCheckBox(p.caption, parent);
    box->setFont(MakeFont(p.font, p.bold));
    box->setChecked(p.value);
    if (p.background)
        // The style paints a check box's own panel over its palette.
        box->setStyleSheet(
            QStringLiteral("QCheckBox { background-color: %1; }").arg(p.background->name()));
    PlaceControl(box, p.row, p.col, p.width, p.height);
    return std::make_unique<CheckBoxControl>(name, box);
}

std::unique_ptr<Control> MakeComboBox(QWidget* parent, const QString& name,
                                      const ComboBoxProperties& p) {
    auto* combo = new QComboBox(parent);
    combo->setFont(MakeFont(p.font));
    combo->addItems(p.items);
    combo->setCurrentIndex(p.value - 1);
    // The given height is that of the opened list; the closed box keeps the
    // height of one line.
    const int lineHeight = combo->sizeHint().height();
    combo->setMaxVisibleItems(std::max(1, p.height / std::max(1, lineHeight - 4)));
    PlaceControl(combo, p.row, p.col, p.width, std::min(p.height, lineHeight));
    return std::make_unique<ComboBoxControl>(name, combo, p.onChange);
}

std::unique_ptr<Control> MakeListBox(QWidget* parent, const QString& name,
                                     const ListBoxProperties& p) {
    auto* list = new QListWidget(parent);
    list->setFont(MakeFont(p.font));
    if (p.wrap) {
        list->setWordWrap(true);
        list->setTextElideMode(Qt::ElideNone);
        list->setResizeMode(QListView::Adjust);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setItemDelegate(new WrappingItems(list));
    }
    auto control = std::make_unique<ListBoxControl>(name, list, p);
    for (const QString& item : p.items)
        control->invoke(QStringLiteral("additem"), item);
    list->setCurrentRow(p.value - 1);
    PlaceControl(list, p.row, p.col, p.width, p.height);
    return control;
}

std::unique_ptr<Control> MakeRadioGroup(QWidget* parent, const QString& name,
                                        const RadioGroupProperties& p) {
    auto* box = new QWidget(parent);
    auto* group = new QButtonGroup(box);
    const int spacing = std::max(1, p.spacing);
    for (int i = 0; i < p.options.size(); ++i) {
        auto* option = new QRadioButton(p.options[i], box);
        option->setFont(MakeFont(p.font));
        option->setGeometry(0, i * spacing, p.width, std::min(spacing, 24));
        group->addButton(option, i + 1);
    }
    if (QAbstractButton* chosen = group->button(p.value)) chosen->setChecked(true);
    if (p.background) SetBackground(box, *p.background);
    PlaceControl(box, p.row, p.col, p.width, static_cast<int>(p.options.size()) * spacing);
    return std::make_unique<RadioGroupControl>(name, box, group, p.onChange);
}

}  // namespace kesp
