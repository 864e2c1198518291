#pragma once

#include "core/colour_table.h"
#include "window/control_id.h"
#include "window/window_fields.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace window {

/// The receive lamp receiveLamp while the line is off.
inline constexpr core::Rgb kLampOff{0, 0, 255};

/// An item of an image combo box: key, text and the 1-based index of its swatch image.
struct ComboItem {
    QString key;
    QString text;
    int image = 0;
    friend bool operator==(const ComboItem &, const ComboItem &) = default;
};

/// The record grid's fonts and colours.
struct GridLook {
    QString headerFamily;
    double headerPoints = 0;
    bool headerBold = false;
    bool headerItalic = false;
    QString cellFamily;
    double cellPoints = 0;
    core::Rgb textColour{0, 0, 0};
    core::Rgb backColour{255, 255, 255};
    friend bool operator==(const GridLook &, const GridLook &) = default;
};

/// What the program can read and change of one control. A colour or font size left empty is
/// the control's designed look.
struct ControlState {
    QString text; ///< caption or text
    bool visible = true;
    std::optional<core::Rgb> backColour;
    std::optional<core::Rgb> foreColour;
    std::optional<double> fontSize; ///< points
    int value = 0;   ///< check box 0 or 1, slider position, selected combo item (1-based; 0 none)
    int maximum = 0; ///< slider
    QList<ComboItem> items;
    friend bool operator==(const ControlState &, const ControlState &) = default;
};

/// The main window as data: the state of every control the handlers use, under its control
/// name, with a notification for each change; the status bar panels; the clock timer; and the
/// window's fields. Views mirror it; handlers work on it alone.
class WindowModel : public QObject {
    Q_OBJECT
  public:
    static constexpr int kPanelCount = 8;

    struct TimerState {
        bool enabled = false;
        int intervalMs = 0;
        friend bool operator==(const TimerState &, const TimerState &) = default;
    };

    /// While one lives, the notifications of changed controls and panels wait, and when the
    /// last ends each control and panel that ended otherwise than it began is told of once: a
    /// handler that sets a text and then another tells the window and assistive technology of
    /// the last only, and one that puts a text back tells them nothing.
    class Batch {
      public:
        explicit Batch(WindowModel &model);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

      private:
        WindowModel &m_model;
    };

    /// The controls as the window is designed, before its load runs.
    WindowModel();

    const ControlState &control(ControlId id) const { return m_controls[std::size_t(id)]; }
    QString text(ControlId id) const { return control(id).text; }
    /// Sets a control's text; the alarm limits' numbers follow their boxes' texts.
    void setText(ControlId id, const QString &text);
    /// HI and LOW as the limit boxes give them, by their leading numbers.
    float highAlarmLimit() const { return m_highAlarmLimit; }
    float lowAlarmLimit() const { return m_lowAlarmLimit; }
    void setVisible(ControlId id, bool visible);
    void setBackColour(ControlId id, core::Rgb colour);
    void setForeColour(ControlId id, core::Rgb colour);
    void setFontSize(ControlId id, double points);
    void setValue(ControlId id, int value);
    /// A slider's maximum; a position above it comes down to it, as the slider does itself.
    void setMaximum(ControlId id, int maximum);
    void setItems(ControlId id, const QList<ComboItem> &items);

    /// Status bar panels, 1 to 8.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);

    const GridLook &gridLook() const { return m_gridLook; }
    void setGridLook(const GridLook &look);

    const TimerState &clockTimer() const { return m_clockTimer; }
    void setClockTimer(TimerState state);

    /// The application's mouse pointer: the hourglass while true.
    bool busyPointer() const { return m_busyPointer; }
    void setBusyPointer(bool busy);
    /// Whether the splash window SplashWindow is open; nothing opens it, the clock closes it.
    bool splashOpen() const { return m_splashOpen; }
    void setSplashOpen(bool open);

    /// Asks the view to move the keyboard focus to a control.
    void requestFocus(ControlId id) { emit focusRequested(id); }

    WindowFields fields;

  signals:
    void focusRequested(window::ControlId id);
    void controlChanged(window::ControlId id);
    void panelChanged(int panel);
    void timerChanged();
    void pointerChanged();
    void splashChanged();

  private:
    ControlState &state(ControlId id) { return m_controls[std::size_t(id)]; }
    /// A control about to change: in a batch, how it was before is kept.
    void touch(ControlId id);
    void changed(ControlId id);
    void readAlarmLimits();
    void endBatch();
    /// Sets one property of a control and tells the views, when it really changes.
    template <typename T> void assign(ControlId id, T ControlState::*member, const T &value);

    std::array<ControlState, kControlCount> m_controls;
    QStringList m_panels;
    GridLook m_gridLook;
    TimerState m_clockTimer;
    bool m_busyPointer = false;
    bool m_splashOpen = false;
    float m_highAlarmLimit = 0;
    float m_lowAlarmLimit = 0;
    int m_batches = 0;
    std::vector<std::pair<ControlId, ControlState>> m_before;
    std::vector<std::pair<int, QString>> m_panelsBefore;
};

} // namespace window
