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
// following it; those the user can change write the change back to the model.

void bindLabel(QLabel *label, WindowModel &model, const ControlLook &look);
void bindTextBox(QLineEdit *edit, WindowModel &model, const ControlLook &look);
void bindIndicator(QLabel *indicator, WindowModel &model, const ControlLook &look,
                   const QPixmap &picture);
void bindCheckBox(QCheckBox *box, WindowModel &model, const ControlLook &look);
void bindImageCombo(QComboBox *combo, WindowModel &model, const ControlLook &look);
void bindSlider(QSlider *slider, WindowModel &model, const ControlLook &look);
void bindGrid(QTableView *view, WindowModel &model, logbook::RecordGridModel &grid);
void bindStatusBar(const QList<QLabel *> &panels, WindowModel &model);

} // namespace ui
