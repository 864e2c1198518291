#pragma once

#include "window/control_id.h"

#include <QMainWindow>

#include <map>

class QLabel;

class QTimer;
class QToolBar;

namespace chart {
class Surface;
}
namespace logbook {
class RecordGridModel;
}

namespace window {
class WindowModel;
}

namespace views {

class SurfaceWidget;

/// The main window as the user sees it: every control of the design at its place, mirroring
/// the window model. It holds no state of its own that a handler needs; user actions come out
/// as signals for whoever wires the handlers.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(window::WindowModel &model, logbook::RecordGridModel &grid,
               QWidget *parent = nullptr);

    /// The drawing surface of plot, chartAxes, percentGauge or levelBar.
    chart::Surface &surface(window::ControlId id);
    /// The alarms raised, a line each, in a bar under the window's own controls; no bar when
    /// there are none.
    void showAlarms(const QStringList &raised);

  signals:
    /// A toolbar button by its key (window::toolbar).
    void toolbarButtonClicked(const QString &key);
    void exitChosen();
    void exportCsvChosen();
    void statisticsChosen();
    void publishChosen();
    void helpChosen();
    void clockTicked();
    /// A check box, colour chooser or button of the window worked by the user, whichever way.
    void clicked(window::ControlId id);
    /// A key typed into a text box, by its character code (Enter is 13).
    void keyPressed(window::ControlId id, int keyAscii);
    /// The history slider's position changed by the user or assistive technology.
    void sliderMoved();
    /// A key or mouse button released over the history slider; also right after a change of
    /// position that no release will end (the mouse wheel, assistive technology).
    void sliderReleased();

  private:
    void buildMenu();
    QToolBar *buildToolbar(QWidget *parent);
    void followTimer();

    window::WindowModel &m_model;
    std::map<window::ControlId, SurfaceWidget *> m_surfaces;
    QTimer *m_clockTimer = nullptr;
    QLabel *m_alarms = nullptr;
};

} // namespace views
