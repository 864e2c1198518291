#pragma once

#include "window/main_window_layout.h"

#include <QPixmap>

#include <functional>

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

namespace window {
class WindowModel;
}

namespace views {

class ColourLamp;

// One binder per kind of widget: each shows the model's state of its control and keeps
// following it; those the user can change write the change back to the model. Each also
// tells assistive technology what the control is for and what it shows.
//
// A user works a control in many ways (the mouse, the keyboard, an assistive action such as
// Toggle or selecting a list entry); the binders listen to what changed, not to one gesture,
// and then call `worked`, which runs the control's handler. The model's own changes are shown
// with the widget's signals blocked, so they run no handler.

void bindLabel(QLabel *label, window::WindowModel &model, const window::ControlLook &look);
void bindTextBox(QLineEdit *edit, window::WindowModel &model, const window::ControlLook &look);
/// A picture with what it stands for.
void bindIndicator(QLabel *indicator, window::WindowModel &model, const window::ControlLook &look,
                   const QPixmap &picture, const QString &meaning);
/// A lamp that shows and says its colour.
void bindLamp(ColourLamp *lamp, window::WindowModel &model, const window::ControlLook &look);
void bindCheckBox(QCheckBox *box, window::WindowModel &model, const window::ControlLook &look,
                  std::function<void()> worked);
void bindImageCombo(QComboBox *combo, window::WindowModel &model, const window::ControlLook &look,
                    std::function<void()> worked);
void bindSlider(QSlider *slider, window::WindowModel &model, const window::ControlLook &look);
/// The record chosen in the grid, by a click or the keys, becomes the data source's current
/// record; the grid follows the current record as the data source moves it.
void bindGrid(QTableView *view, window::WindowModel &model, logbook::RecordGridModel &grid,
              const window::ControlLook &look);
void bindStatusBar(const QList<QLabel *> &panels, window::WindowModel &model);

} // namespace views
