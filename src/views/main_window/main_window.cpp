#include "views/main_window/main_window.h"

#include "chart/frame_axes.h"
#include "views/main_window/artwork.h"
#include "views/main_window/surface_widget.h"
#include "views/main_window/widget_binders.h"
#include "views/widgets/colour_lamp.h"
#include "views/widgets/display_label.h"
#include "views/widgets/frame_pacer.h"
#include "views/widgets/gesture_slider.h"
#include "views/widgets/read_only_text_box.h"
#include "views/widgets/record_grid_view.h"
#include "window/main_window_layout.h"
#include "window/toolbar_commands.h"
#include "window/window_model.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace views {

namespace {

QRect pixels(const window::ControlLook &look, int shiftY) {
    return {look.left / chart::kTwipsPerPixel, look.top / chart::kTwipsPerPixel + shiftY,
            look.width / chart::kTwipsPerPixel, look.height / chart::kTwipsPerPixel};
}

struct IndicatorPicture {
    QPixmap picture;
    QString meaning;
};

/// The picture of an indicator and what it stands for; none for the receive lamp, a plain
/// coloured box.
IndicatorPicture indicatorPicture(window::ControlId id, qreal ratio) {
    switch (id) {
    case window::ControlId::batteryFine:
        return {batteryPicture(false, ratio), QStringLiteral("Battery good")};
    case window::ControlId::batteryLow:
        return {batteryPicture(true, ratio), QStringLiteral("Battery low")};
    case window::ControlId::highAlarmLamp:
        return {alarmIcon(true, ratio), QStringLiteral("High alarm")};
    case window::ControlId::lowAlarmLamp:
        return {alarmIcon(false, ratio), QStringLiteral("Low alarm")};
    default:
        return {};
    }
}

/// Enter and Return press a focused button as Space does, as they do a push button.
class EnterClicks : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button || (key != Qt::Key_Return && key != Qt::Key_Enter))
            return false;
        button->click();
        return true;
    }
};

constexpr int kToolbarButtonWidth = 49;
/// Texts larger than this are the reading's displays, drawn from letters rendered once.
constexpr double kLargeDisplayPoints = 40;
constexpr int kEnterKey = 13;

} // namespace

MainWindow::MainWindow(window::WindowModel &model, logbook::RecordGridModel &grid, QWidget *parent)
    : QMainWindow(parent), m_model(model) {
    setWindowTitle(QStringLiteral("5710"));
    setObjectName(QStringLiteral("Form1"));
    buildMenu();
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("MainWindowClient"));
    setCentralWidget(client);

    QToolBar *toolbar = buildToolbar(client);
    // The toolbar is as tall as its 32 x 32 icons with captions under them need; the controls
    // below it keep their places relative to one another.
    const int toolbarPixels =
        std::max(window::kToolbarHeight / chart::kTwipsPerPixel, toolbar->sizeHint().height());
    const int shift = toolbarPixels - window::kToolbarHeight / chart::kTwipsPerPixel;
    toolbar->setGeometry(0, 0, window::kMainWindowWidth / chart::kTwipsPerPixel, toolbarPixels);
    client->setFixedSize(window::kMainWindowWidth / chart::kTwipsPerPixel,
                         window::kMainWindowHeight / chart::kTwipsPerPixel + shift);

    for (const window::ControlLook &look : window::mainWindowLayout()) {
        QWidget *parentWidget = client;
        int shiftY = shift;
        if (look.container == window::Container::Toolbar) {
            parentWidget = toolbar;
            shiftY = (toolbarPixels - window::kToolbarHeight / chart::kTwipsPerPixel) / 2;
        } else if (look.container == window::Container::chartAxes) {
            parentWidget = m_surfaces.at(window::ControlId::chartAxes);
            shiftY = 0;
        }
        QWidget *widget = nullptr;
        switch (look.kind) {
        case window::ControlKind::Toolbar:
            widget = toolbar;
            break;
        case window::ControlKind::Label:
        case window::ControlKind::ReadOnlyTextBox: {
            // A box only the program writes needs none of an editor's inner margins, which
            // would clip texts such as "OFFLine" in the designed widths.
            QLabel *label = look.font.points > kLargeDisplayPoints ? new DisplayLabel(parentWidget)
                            : look.kind == window::ControlKind::ReadOnlyTextBox
                                ? new ReadOnlyTextBox(parentWidget)
                                : new QLabel(parentWidget);
            bindLabel(label, model, look);
            widget = label;
            break;
        }
        case window::ControlKind::TextBox: {
            auto *edit = new QLineEdit(parentWidget);
            bindTextBox(edit, model, look);
            connect(edit, &QLineEdit::returnPressed, this,
                    [this, id = look.id] { emit keyPressed(id, kEnterKey); });
            widget = edit;
            break;
        }
        case window::ControlKind::Indicator: {
            const IndicatorPicture shown = indicatorPicture(look.id, devicePixelRatioF());
            if (shown.picture.isNull()) {
                auto *lamp = new ColourLamp(parentWidget);
                bindLamp(lamp, model, look);
                widget = lamp;
                break;
            }
            auto *indicator = new QLabel(parentWidget);
            bindIndicator(indicator, model, look, shown.picture, shown.meaning);
            widget = indicator;
            break;
        }
        case window::ControlKind::Surface: {
            auto *surfaceWidget = new SurfaceWidget(window::surfaceGeometry(look.id), parentWidget);
            m_surfaces.emplace(look.id, surfaceWidget);
            widget = surfaceWidget;
            break;
        }
        case window::ControlKind::CheckBox: {
            auto *box = new QCheckBox(parentWidget);
            bindCheckBox(box, model, look, [this, id = look.id] { emit clicked(id); });
            widget = box;
            break;
        }
        case window::ControlKind::ImageCombo: {
            auto *combo = new QComboBox(parentWidget);
            bindImageCombo(combo, model, look, [this, id = look.id] { emit clicked(id); });
            widget = combo;
            break;
        }
        case window::ControlKind::Button: {
            auto *button = new QPushButton(model.text(look.id), parentWidget);
            connect(button, &QPushButton::clicked, this,
                    [this, id = look.id] { emit clicked(id); });
            widget = button;
            break;
        }
        case window::ControlKind::Slider: {
            auto *slider = new GestureSlider(Qt::Vertical, parentWidget);
            bindSlider(slider, model, look);
            // After the binder: the model holds the new position when the handlers hear of it.
            connect(slider, &QSlider::valueChanged, this, [this, slider] {
                emit sliderMoved();
                if (!slider->held())
                    emit sliderReleased();
            });
            connect(slider, &GestureSlider::released, this, &MainWindow::sliderReleased);
            widget = slider;
            break;
        }
        case window::ControlKind::Grid: {
            auto *view = new RecordGridView(parentWidget);
            bindGrid(view, model, grid, look);
            widget = view;
            break;
        }
        case window::ControlKind::StatusBar: {
            auto *bar = new QWidget(parentWidget);
            QList<QLabel *> panels;
            const int narrow = 70;
            const int wide = (look.width / chart::kTwipsPerPixel - 4 * narrow) / 4;
            int x = 0;
            for (int panel = 1; panel <= window::WindowModel::kPanelCount; ++panel) {
                auto *label = new QLabel(bar);
                const int width = panel % 2 ? narrow : wide;
                label->setGeometry(x, 0,
                                   panel == 8 ? look.width / chart::kTwipsPerPixel - x : width,
                                   look.height / chart::kTwipsPerPixel);
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                label->setIndent(3);
                QFont font(look.font.family);
                font.setPointSizeF(look.font.points);
                font.setBold(look.font.bold);
                label->setFont(font);
                label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(panel));
                x += width;
                panels.append(label);
            }
            bindStatusBar(panels, model);
            widget = bar;
            break;
        }
        }
        widget->setObjectName(window::controlName(look.id));
        // The binders name what they bind; the rest are named by what they are for.
        if (widget->accessibleName().isEmpty() && widget->accessibleDescription().isEmpty())
            widget->setAccessibleName(window::controlRole(look.id));
        if (look.kind != window::ControlKind::Toolbar)
            widget->setGeometry(pixels(look, shiftY));
    }

    // Painted boxes start in their designed colours; the plot box's colours come from the load.
    surface(window::ControlId::percentGauge).setBackColour({0, 0, 0});
    surface(window::ControlId::levelBar).setBackColour({0, 0, 0});
    surface(window::ControlId::levelBar).setForeColour({255, 255, 0});
    surface(window::ControlId::chartAxes).setBackColour(chart::kFrameBackground);
    // Stacking as designed: later controls lie over earlier ones, the frames under what they frame.
    for (window::ControlId frame :
         {window::ControlId::chartFrame, window::ControlId::scaleRow,
          window::ControlId::annunciatorFrame, window::ControlId::alarmFrame})
        client->findChild<QWidget *>(window::controlName(frame))->lower();
    followTimer();
    new FramePacer(this);
    connect(&model, &window::WindowModel::focusRequested, this, [client](window::ControlId id) {
        if (QWidget *widget = client->findChild<QWidget *>(window::controlName(id)))
            widget->setFocus();
    });
}

chart::Surface &MainWindow::surface(window::ControlId id) { return m_surfaces.at(id)->surface(); }

void MainWindow::buildMenu() {
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File(F)"));
    file->setObjectName(QStringLiteral("File"));
    QAction *exportCsv = file->addAction(QStringLiteral("&Export CSV..."));
    exportCsv->setObjectName(QStringLiteral("ExportCsv"));
    connect(exportCsv, &QAction::triggered, this, &MainWindow::exportCsvChosen);
    QAction *statistics = file->addAction(QStringLiteral("&Statistics..."));
    statistics->setObjectName(QStringLiteral("Statistics"));
    connect(statistics, &QAction::triggered, this, &MainWindow::statisticsChosen);
    QAction *publishing = file->addAction(QStringLiteral("&Publish..."));
    publishing->setObjectName(QStringLiteral("Publish"));
    connect(publishing, &QAction::triggered, this, &MainWindow::publishChosen);
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("Exit"));
    connect(exit, &QAction::triggered, this, &MainWindow::exitChosen);
    QAction *help = menuBar()->addAction(QStringLiteral("&Help(H)"));
    help->setObjectName(QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &MainWindow::helpChosen);
}

QToolBar *MainWindow::buildToolbar(QWidget *parent) {
    auto *toolbar = new QToolBar(parent);
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setContentsMargins(0, 0, 0, 0);
    toolbar->layout()->setContentsMargins(0, 0, 0, 0);
    toolbar->layout()->setSpacing(0);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(7);
    toolbar->setFont(font);
    auto *enterClicks = new EnterClicks(toolbar);
    // The icons are in the buttons' order.
    for (std::size_t i = 0; i < window::kToolbarButtons.size(); ++i) {
        const QString caption = window::kToolbarButtons[i].caption;
        QAction *action =
            toolbar->addAction(toolbarIcon(ToolbarIcon(i), devicePixelRatioF()), caption);
        const QString key = window::kToolbarButtons[i].key;
        action->setData(key);
        action->setObjectName(QStringLiteral("Toolbar1Button_%1").arg(key));
        // Seven buttons fit left of the toolbar's boxes with their captions on two lines.
        QString twoLines = caption;
        const qsizetype space = caption.indexOf(u' ');
        const qsizetype slash = caption.indexOf(u'/');
        if (space >= 0)
            twoLines[space] = u'\n';
        else if (slash >= 0)
            twoLines.insert(slash + 1, u'\n');
        action->setIconText(twoLines);
        if (QWidget *w = toolbar->widgetForAction(action)) {
            w->setAccessibleName(caption);
            w->setObjectName(action->objectName());
            w->setFixedWidth(kToolbarButtonWidth);
            w->setFocusPolicy(Qt::TabFocus); // reachable from the keyboard like any button
            w->installEventFilter(enterClicks);
        }
        connect(action, &QAction::triggered, this, [this, key] { emit toolbarButtonClicked(key); });
    }
    return toolbar;
}

void MainWindow::followTimer() {
    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    m_clockTimer->setTimerType(Qt::PreciseTimer);
    connect(m_clockTimer, &QTimer::timeout, this, &MainWindow::clockTicked);
    const auto apply = [this] {
        const window::WindowModel::TimerState &state = m_model.clockTimer();
        m_clockTimer->setInterval(state.intervalMs);
        if (state.enabled && !m_clockTimer->isActive())
            m_clockTimer->start();
        else if (!state.enabled)
            m_clockTimer->stop();
    };
    apply();
    connect(&m_model, &window::WindowModel::timerChanged, this, apply);
    connect(&m_model, &window::WindowModel::pointerChanged, this, [this] {
        if (m_model.busyPointer())
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            while (QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
    });
}

void MainWindow::showAlarms(const QStringList &raised) {
    if (!m_alarms) {
        m_alarms = new QLabel(this);
        m_alarms->setObjectName(QStringLiteral("Alarms"));
        m_alarms->setAccessibleName(QStringLiteral("Alarms"));
        m_alarms->setWordWrap(true);
        m_alarms->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        m_alarms->setStyleSheet(QStringLiteral(
            "QLabel { background: #b00000; color: white; font-weight: bold; padding: 3px; }"));
        statusBar()->addWidget(m_alarms, 1);
        statusBar()->setSizeGripEnabled(false);
    }
    m_alarms->setText(raised.join(u'\n'));
    m_alarms->setAccessibleDescription(raised.join(u' '));
    statusBar()->setVisible(!raised.isEmpty());
    if (!raised.isEmpty()) {
        // Said by a screen reader at once, wherever the focus is.
        QAccessibleEvent alert(m_alarms, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

} // namespace views
