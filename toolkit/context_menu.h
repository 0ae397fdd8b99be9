// Context menus: a menu that opens over a control (right click, or the menu
// key or Shift+F10 while the control has the focus), and its items, which the window
// registers by name like its other controls.
#pragma once

#include "toolkit/control.h"
#include "toolkit/forms.h"

#include <QMenu>

#include <memory>

namespace kesp {

// A new, empty menu that opens over `owner` on request. It belongs to owner.
QMenu* AttachContextMenu(QWidget* owner);

// An item at the end of the menu. The control answers "caption" and
// "enabled"; a click of the test driver chooses it as from the open menu.
std::unique_ptr<Control> MakeMenuItem(QMenu* menu, const QString& name,
                                      const MenuItemProperties& p);

}  // namespace kesp
