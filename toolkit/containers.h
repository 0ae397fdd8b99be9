// Controls that hold other controls: the tab control with its pages, and the
// toolbar with its tool buttons.
#pragma once

#include "toolkit/control.h"
#include "toolkit/forms.h"

#include <QTabWidget>
#include <QToolBar>

#include <memory>

namespace kesp {

class TabControl : public Control {
  public:
    TabControl(const QString& name, QTabWidget* tabs, int firstPage);

    // A new page at the end; controls defined next are made on it.
    QWidget* addPage(const QString& caption);
    // Shows the page given at definition, once all pages exist.
    void finish();

    bool set(const QString& property, int index, const QVariant& value) override;
    std::optional<QVariant> get(const QString& property, int index) const override;
    bool userSelect(int oneBasedIndex) override;

  private:
    QTabWidget* tabs_;
    int firstPage_;
};

std::unique_ptr<TabControl> MakeTab(QWidget* parent, const QString& name, const TabProperties& p);

class ToolBarControl : public Control {
  public:
    ToolBarControl(const QString& name, QToolBar* bar, const ToolBarProperties& p);

    // A tool button at the end of the bar; returned to be registered by name.
    std::unique_ptr<Control> addButton(const QString& name, const ToolButtonProperties& p);

  private:
    QToolBar* bar_;
    ToolBarProperties properties_;
};

std::unique_ptr<ToolBarControl> MakeToolBar(QWidget* window, const QString& name,
                                            const ToolBarProperties& p);

}  // namespace kesp
