// The control kinds of the toolkit: each maker builds the widget in `parent`
// (a window's client area or a tab page) at its place and returns the control
// that answers its run-time properties, methods and events.
#pragma once

#include "toolkit/action_dispatch.h"
#include "toolkit/control.h"
#include "toolkit/forms.h"

#include <memory>

namespace kesp {

std::unique_ptr<Control> MakeLabel(QWidget* parent, const QString& name, const LabelProperties& p);
std::unique_ptr<Control> MakeButton(QWidget* parent, const QString& name,
                                    const ButtonProperties& p);
std::unique_ptr<Control> MakeImageButton(QWidget* parent, const QString& name,
                                         const ImageButtonProperties& p);
std::unique_ptr<Control> MakeFrame(QWidget* parent, const QString& name, const FrameProperties& p);
std::unique_ptr<Control> MakeImage(QWidget* parent, const QString& name, const ImageProperties& p);
std::unique_ptr<Control> MakeProgressBar(QWidget* parent, const QString& name,
                                         const ProgressBarProperties& p);

std::unique_ptr<Control> MakeTextBox(QWidget* parent, const QString& name,
                                     const TextBoxProperties& p);
std::unique_ptr<Control> MakeEditBox(QWidget* parent, const QString& name,
                                     const EditBoxProperties& p);

std::unique_ptr<Control> MakeCheckBox(QWidget* parent, const QString& name,
                                      const CheckBoxProperties& p);
std::unique_ptr<Control> MakeComboBox(QWidget* parent, const QString& name,
                                      const ComboBoxProperties& p);
std::unique_ptr<Control> MakeListBox(QWidget* parent, const QString& name,
                                     const ListBoxProperties& p);
std::unique_ptr<Control> MakeRadioGroup(QWidget* parent, const QString& name,
                                        const RadioGroupProperties& p);

std::unique_ptr<Control> MakeDatePicker(QWidget* parent, const QString& name,
                                        const DatePickerProperties& p);

std::unique_ptr<Control> MakeBrowse(QWidget* parent, const QString& name,
                                    const BrowseProperties& p);

// A value that must be a number (an index, a record number); anything else is
// misuse of the toolkit.
int RequireNumber(const QVariant& value, const QString& what);

}  // namespace kesp
