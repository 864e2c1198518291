#pragma once

#include "ui/main_window/form1_layout.h"

#include <QPixmap>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTableView;
class QWidget;

namespace logbook {
class RecordGridModel;
}

namespace ui {

class WindowModel;

// One binder per kind of widget: each shows the model's state of its control and keeps
// following it; those the user can change write the change back to the model. Each also
// tells assistive technology what the control is for and what it shows.

void bindLabel(QLabel *label, WindowModel &model, const ControlLook &look);
void bindTextBox(QLineEdit *edit, WindowModel &model, const ControlLook &look);
/// A picture with what it stands for; with no picture, a lamp that says its colour.
void bindIndicator(QLabel *indicator, WindowModel &model, const ControlLook &look,
                   const QPixmap &picture, const QString &meaning);
void bindCheckBox(QCheckBox *box, WindowModel &model, const ControlLook &look);
void bindImageCombo(QComboBox *combo, WindowModel &model, const ControlLook &look);
void bindSlider(QSlider *slider, WindowModel &model, const ControlLook &look);
void bindGrid(QTableView *view, WindowModel &model, logbook::RecordGridModel &grid,
              const ControlLook &look);
void bindStatusBar(const QList<QLabel *> &panels, WindowModel &model);

} // namespace ui
