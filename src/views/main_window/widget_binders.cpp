#include "views/main_window/widget_binders.h"

#include "log/record_grid_model.h"
#include "views/main_window/artwork.h"
#include "views/widgets/colour_lamp.h"
#include "window/window_model.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTableView>

namespace views {

namespace {

QString cssColour(core::Rgb rgb) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(rgb.red).arg(rgb.green).arg(rgb.blue);
}

// From the application's palette: a widget's own palette already carries its style sheet.
core::Rgb systemColour(window::SystemColour role) {
    const QColor colour = QGuiApplication::palette().color(
        role == window::SystemColour::ButtonText ? QPalette::ButtonText : QPalette::WindowText);
    return {quint8(colour.red()), quint8(colour.green()), quint8(colour.blue())};
}

/// Colours, border and font of a control: its designed look with the model's changes on top.
void applyLook(QWidget *widget, const window::ControlLook &look, const window::ControlState &state,
               const QString &selector, const QString &extraCss = {}) {
    QString css = extraCss;
    const std::optional<core::Rgb> fore = state.foreColour ? state.foreColour : look.fore;
    std::optional<core::Rgb> back = state.backColour ? state.backColour : look.back;
    if (!back && look.systemBack != window::SystemColour::None)
        back = systemColour(look.systemBack);
    if (fore)
        css += QStringLiteral("color:%1;").arg(cssColour(*fore));
    if (back)
        css += QStringLiteral("background-color:%1;").arg(cssColour(*back));
    if (look.bordered)
        css += QStringLiteral("border:1px solid rgb(0,0,0);");
    // Style sheets are costly to apply: only when something changed, and none for a control
    // that needs none.
    const QString sheet = css.isEmpty() ? QString() : selector + u'{' + css + u'}';
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
    if (!look.font.family.isEmpty()) {
        QFont font(look.font.family);
        font.setPointSizeF(state.fontSize.value_or(look.font.points));
        font.setBold(look.font.bold);
        if (widget->font() != font)
            widget->setFont(font);
    }
    if (widget->isVisibleTo(widget->parentWidget()) != state.visible)
        widget->setVisible(state.visible);
}

Qt::Alignment alignment(window::Align align) {
    switch (align) {
    case window::Align::Centre:
        return Qt::AlignCenter;
    case window::Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case window::Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

/// A control that shows a text is named by that text, so that a screen reader reads what it
/// shows and hears of every change (Qt tells it when the shown text, as the name, changes);
/// what the control is for becomes its description.
void nameByShownText(QLabel *label, const QString &role) {
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleDescription(role);
}

/// Calls `update` now and whenever the model changes the control.
template <typename Update>
void follow(QWidget *widget, window::WindowModel &model, window::ControlId id, Update update) {
    update();
    QObject::connect(&model, &window::WindowModel::controlChanged, widget,
                     [id, update](window::ControlId changed) {
                         if (changed == id)
                             update();
                     });
}

} // namespace

void bindLabel(QLabel *label, window::WindowModel &model, const window::ControlLook &look) {
    label->setAlignment(alignment(look.align));
    nameByShownText(label, window::controlRole(look.id));
    follow(label, model, look.id, [label, &model, look] {
        const window::ControlState &state = model.control(look.id);
        label->setText(state.text);
        applyLook(label, look, state, QStringLiteral("QLabel"));
    });
}

void bindTextBox(QLineEdit *edit, window::WindowModel &model, const window::ControlLook &look) {
    edit->setAlignment(alignment(look.align));
    edit->setAccessibleName(window::controlRole(look.id)); // an editor exposes its text itself
    follow(edit, model, look.id, [edit, &model, look] {
        const window::ControlState &state = model.control(look.id);
        if (edit->text() != state.text)
            edit->setText(state.text);
        // Text boxes of the design have next to no inner margin.
        applyLook(edit, look, state, QStringLiteral("QLineEdit"),
                  QStringLiteral("padding:0px;border:1px solid rgb(128,128,128);"));
    });
    // Whatever changed the text (typing, paste, undo, a drop, assistive technology); the
    // model's own writes come back equal and change nothing.
    QObject::connect(edit, &QLineEdit::textChanged, &model,
                     [&model, id = look.id](const QString &text) { model.setText(id, text); });
}

void bindIndicator(QLabel *indicator, window::WindowModel &model, const window::ControlLook &look,
                   const QPixmap &picture, const QString &meaning) {
    indicator->setPixmap(picture);
    indicator->setAlignment(Qt::AlignCenter);
    indicator->setAccessibleDescription(window::controlRole(look.id));
    indicator->setAccessibleName(meaning);
    follow(indicator, model, look.id, [indicator, &model, look] {
        applyLook(indicator, look, model.control(look.id), QStringLiteral("QLabel"));
    });
}

void bindLamp(ColourLamp *lamp, window::WindowModel &model, const window::ControlLook &look) {
    lamp->setAccessibleDescription(window::controlRole(look.id));
    follow(lamp, model, look.id, [lamp, &model, look] {
        const window::ControlState &state = model.control(look.id);
        const core::Rgb colour = state.backColour.value_or(look.back.value_or(core::Rgb{}));
        lamp->setColour(QColor(colour.red, colour.green, colour.blue));
        lamp->setVisible(state.visible);
        // A lamp says its colour.
        lamp->setAccessibleName(core::colourName(colour).value_or(QLatin1String()));
    });
}

void bindCheckBox(QCheckBox *box, window::WindowModel &model, const window::ControlLook &look,
                  std::function<void()> worked) {
    box->setAccessibleName(window::controlRole(look.id)); // its state is its value
    follow(box, model, look.id, [box, &model, look] {
        const window::ControlState &state = model.control(look.id);
        const QSignalBlocker blocker(box);
        box->setText(state.text);
        box->setChecked(state.value != 0);
        applyLook(box, look, state, QStringLiteral("QCheckBox"));
    });
    // A click, Space, and assistive technology's Toggle all come as toggled.
    QObject::connect(box, &QCheckBox::toggled, &model,
                     [&model, id = look.id, worked = std::move(worked)](bool checked) {
                         model.setValue(id, checked ? 1 : 0);
                         worked();
                     });
}

void bindImageCombo(QComboBox *combo, window::WindowModel &model, const window::ControlLook &look,
                    std::function<void()> worked) {
    combo->setIconSize(QSize(28, 17));
    // Named by its chosen item, as Qt names every combo box; what it is for is its description.
    combo->setAccessibleDescription(window::controlRole(look.id));
    follow(combo, model, look.id, [combo, &model, look] {
        const window::ControlState &state = model.control(look.id);
        QList<window::ComboItem> shown;
        for (int i = 0; i < combo->count(); ++i)
            shown.append({combo->itemData(i).toString(), combo->itemText(i),
                          combo->itemData(i, Qt::UserRole + 1).toInt()});
        if (shown != state.items) {
            const QSignalBlocker blocker(combo);
            combo->clear();
            for (const window::ComboItem &item : state.items) {
                const core::Rgb swatch = item.image >= 1 && item.image <= 16
                                             ? core::kColourTable[item.image - 1].rgb
                                             : core::Rgb{255, 255, 255};
                combo->addItem(colourSwatch(swatch, combo->devicePixelRatioF()), item.text,
                               item.key);
                combo->setItemData(combo->count() - 1, item.image, Qt::UserRole + 1);
            }
        }
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(state.value - 1);
        applyLook(combo, look, state, QStringLiteral("QComboBox"));
    });
    QObject::connect(combo, &QComboBox::currentIndexChanged, &model,
                     [&model, id = look.id, worked = std::move(worked)](int index) {
                         model.setValue(id, index + 1);
                         worked();
                     });
    // Assistive technology chooses by selecting an entry of the closed list (its Toggle); the
    // open list's selection follows the pointer and is chosen only by a click or Enter.
    QObject::connect(combo->view()->selectionModel(), &QItemSelectionModel::selectionChanged, combo,
                     [combo](const QItemSelection &selected) {
                         if (!combo->view()->isVisible() && !selected.indexes().isEmpty())
                             combo->setCurrentIndex(selected.indexes().first().row());
                     });
}

void bindSlider(QSlider *slider, window::WindowModel &model, const window::ControlLook &look) {
    // Position 0 at the top, as the design's slider has it; keys and wheel follow the thumb.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setAccessibleName(window::controlRole(look.id)); // the position is its value
    follow(slider, model, look.id, [slider, &model, look] {
        const window::ControlState &state = model.control(look.id);
        const QSignalBlocker blocker(slider);
        slider->setRange(0, state.maximum);
        slider->setValue(state.value);
        slider->setVisible(state.visible);
    });
    QObject::connect(slider, &QSlider::valueChanged, &model,
                     [&model, id = look.id](int value) { model.setValue(id, value); });
}

void bindGrid(QTableView *view, window::WindowModel &model, logbook::RecordGridModel &grid,
              const window::ControlLook &look) {
    view->setAccessibleName(window::controlRole(look.id));
    view->setModel(&grid);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->verticalHeader()->setFixedWidth(12);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto applyWidths = [view, &grid] {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const int twips = grid.columnWidthTwips(column);
            if (twips > 0)
                view->setColumnWidth(column, qRound(twips / double(chart::kTwipsPerPixel)));
        }
    };
    QObject::connect(&grid, &QAbstractItemModel::headerDataChanged, view, applyWidths);
    QObject::connect(&grid, &QAbstractItemModel::columnsInserted, view, applyWidths);
    QObject::connect(&grid, &QAbstractItemModel::modelReset, view, applyWidths);
    QObject::connect(
        &grid, &logbook::RecordGridModel::currentRowChanged, view, [view, &grid](int row) {
            if (row < 0)
                return;
            // The keyboard's column stays where it is.
            if (view->currentIndex().row() != row)
                view->setCurrentIndex(grid.index(row, std::max(0, view->currentIndex().column())));
            view->scrollTo(grid.index(row, 0));
        });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, &grid,
                     [&grid](const QModelIndex &current) {
                         if (current.isValid())
                             grid.setCurrentRow(current.row());
                     });
    follow(view, model, window::ControlId::logGrid, [view, &model] {
        const window::GridLook &look = model.gridLook();
        QFont cells(look.cellFamily.isEmpty() ? view->font().family() : look.cellFamily);
        cells.setPointSizeF(look.cellPoints > 0 ? look.cellPoints : 9);
        view->setFont(cells);
        QFont header(look.headerFamily.isEmpty() ? cells.family() : look.headerFamily);
        header.setPointSizeF(look.headerPoints > 0 ? look.headerPoints : cells.pointSizeF());
        header.setBold(look.headerBold);
        header.setItalic(look.headerItalic);
        view->horizontalHeader()->setFont(header);
        view->verticalHeader()->setDefaultSectionSize(QFontMetrics(cells).height() + 4);
        view->setStyleSheet(QStringLiteral("QTableView{color:%1;background-color:%2;}")
                                .arg(cssColour(look.textColour), cssColour(look.backColour)));
    });
}

void bindStatusBar(const QList<QLabel *> &panels, window::WindowModel &model) {
    for (qsizetype i = 0; i < panels.size(); ++i)
        nameByShownText(panels[i], QStringLiteral("Status panel %1").arg(i + 1));
    const auto show = [panels, &model](int panel) {
        if (panel >= 1 && panel <= panels.size())
            panels[panel - 1]->setText(model.panelText(panel));
    };
    for (int panel = 1; panel <= panels.size(); ++panel)
        show(panel);
    QObject::connect(&model, &window::WindowModel::panelChanged, panels.first(), show);
}

} // namespace views
