#include "views/statistics/statistics_window.h"

#include "core/message_boxes.h"
#include "core/number_text.h"
#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "statistics/figure_text.h"
#include "views/statistics/interval_chart_view.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QTime>

namespace views {

namespace {

/// What a time box takes, as its placeholder says it.
const QString kTimeShape = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QTableWidget *figureTable(const stats::GroupFigures &group, QWidget *parent) {
    const std::vector<stats::FigureRow> rows = stats::figureRows(group);
    auto *table = new QTableWidget(int(rows.size()), 2, parent);
    table->setAccessibleName(stats::groupTitle(group));
    if (group.function == core::kFunctionSound)
        table->setAccessibleDescription(stats::kSoundWeightingNote);
    table->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value")});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int i = 0; i < int(rows.size()); ++i) {
        table->setItem(i, 0, new QTableWidgetItem(rows[std::size_t(i)].name));
        table->setItem(i, 1, new QTableWidgetItem(rows[std::size_t(i)].shown()));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setFixedHeight(table->horizontalHeader()->height() + table->verticalHeader()->length() +
                          2 * table->frameWidth());
    return table;
}

} // namespace

StatisticsWindow::StatisticsWindow(window::StatisticsSpan span, Print print,
                                   core::MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), m_span(std::move(span)), m_print(std::move(print)), m_messages(messages) {
    setObjectName(QStringLiteral("Statistics"));
    setWindowTitle(QStringLiteral("Statistics"));
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(m_span.title, this);
    m_title->setWordWrap(true);
    m_title->setAccessibleDescription(QStringLiteral("Readings"));
    layout->addWidget(m_title);

    // Boxes side by side, each after a label of its name that its mnemonic focuses.
    const auto addRow = [this, layout](std::initializer_list<QLineEdit *> boxes) {
        auto *row = new QHBoxLayout;
        for (QLineEdit *box : boxes) {
            auto *label = new QLabel(box->accessibleName(), this);
            label->setBuddy(box);
            box->setAccessibleName(QString(box->accessibleName()).remove(u'&'));
            row->addWidget(label);
            row->addWidget(box);
        }
        layout->addLayout(row);
    };
    m_from = timeBox(QStringLiteral("&From"));
    m_to = timeBox(QStringLiteral("&To"));
    addRow({m_from, m_to});
    // HI and LOW for every quantity or for each, as the command line takes them; first those
    // of the main window for the quantity it measured last.
    m_hi = limitBox(QStringLiteral("&HI"), m_span.limits.hi);
    m_low = limitBox(QStringLiteral("&LOW"), m_span.limits.low);
    addRow({m_hi, m_low});
    m_narrowed = new QLabel(this);
    m_narrowed->setAccessibleDescription(QStringLiteral("Span"));
    layout->addWidget(m_narrowed);
    auto *when = new QHBoxLayout;
    auto *intervalLabel = new QLabel(QStringLiteral("&Interval:"), this);
    m_interval = new QComboBox(this);
    m_interval->setAccessibleName(QStringLiteral("Interval"));
    m_interval->addItem(QStringLiteral("None"), 0);
    for (const stats::IntervalChoice &choice : stats::kIntervalChoices)
        m_interval->addItem(choice.name, choice.seconds);
    intervalLabel->setBuddy(m_interval);
    connect(m_interval, &QComboBox::currentIndexChanged, this, &StatisticsWindow::showFigures);
    m_computed = new QLabel(this);
    m_computed->setWordWrap(true);
    m_computed->setAccessibleDescription(QStringLiteral("Computed"));
    when->addWidget(intervalLabel);
    when->addWidget(m_interval);
    when->addWidget(m_computed, 1);
    layout->addLayout(when);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    m_tables = new QWidget(scroll);
    m_tablesLayout = new QVBoxLayout(m_tables);
    m_chart = new IntervalChartView(this);
    // Tables of rows to read, one row a line.
    const auto rowTable = [this](const QString &name, int height) {
        auto *table = new QTableWidget(this);
        table->setAccessibleName(name);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->verticalHeader()->hide();
        table->setMinimumHeight(height);
        return table;
    };
    m_intervalTable = rowTable(QStringLiteral("Intervals"), 160);
    m_eventTable = rowTable(QStringLiteral("Events"), 120);
    scroll->setWidget(m_tables);
    layout->addWidget(scroll, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &caption, auto handler) {
        auto *b = new QPushButton(caption, this);
        // Enter in a time box narrows the span; it presses no button.
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    button(QStringLiteral("&Open saved log..."), [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Open saved log"), QDir::homePath(),
                                         QStringLiteral("Saved logs (*.710);;All files (*)"));
        if (!path.isEmpty())
            openLog(path);
    });
    button(QStringLiteral("&Copy"), [this] {
        QGuiApplication::clipboard()->setText(
            stats::statisticsLines(m_title->text(), m_figures, QStringLiteral("\t")).join(u'\n'));
    });
    button(QStringLiteral("Save as CS&V..."), [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Save statistics"),
            QDir(QDir::homePath()).filePath(QStringLiteral("statistics.csv")),
            QStringLiteral("CSV files (*.csv);;All files (*)"));
        if (!path.isEmpty())
            saveCsv(path);
    });
    button(QStringLiteral("&Refresh"), &StatisticsWindow::showFigures);
    button(QStringLiteral("Save chart as P&NG..."), [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Save chart"),
            QDir(QDir::homePath()).filePath(QStringLiteral("statistics.png")),
            QStringLiteral("PNG images (*.png);;All files (*)"));
        if (!path.isEmpty())
            saveChart(path);
    });
    m_saveChart = qobject_cast<QPushButton *>(buttons->itemAt(buttons->count() - 1)->widget());
    button(QStringLiteral("&Print"),
           [this] { m_print(m_title->text(), m_figures, m_intervals, m_events); });
    button(QStringLiteral("Close"), &QDialog::reject);
    layout->addLayout(buttons);
    // As large as it likes to be, within the screen it opens on (scaled screens too).
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 760, 760);
    resize(std::min(760, room.width() * 9 / 10), std::min(760, room.height() * 9 / 10));
    showFigures();
}

StatisticsWindow::~StatisticsWindow() {
    // A reading still going stops at its next log; none outlives the window.
    if (m_cancel)
        m_cancel->store(true);
    for (std::thread &reader : m_readers)
        reader.join();
}

QLineEdit *StatisticsWindow::limitBox(const QString &name, const stats::Limit &limit) {
    auto *box = new QLineEdit(stats::limitText(limit), this);
    box->setAccessibleName(name);
    box->setPlaceholderText(QStringLiteral("none"));
    box->setAccessibleDescription(
        QStringLiteral("%1 for every quantity, as 85, or for each, as sound=85 temp=30; empty "
                       "for none")
            .arg(QString(name).remove(u'&')));
    connect(box, &QLineEdit::editingFinished, this, &StatisticsWindow::showFigures);
    return box;
}

QLineEdit *StatisticsWindow::timeBox(const QString &name) {
    auto *box = new QLineEdit(this);
    box->setAccessibleName(name);
    box->setPlaceholderText(kTimeShape);
    box->setAccessibleDescription(
        QStringLiteral("Local time as %1 (seconds or the time may be left out), an offset as "
                       "+01:00 after it where the clock read that hour twice; empty for no bound")
            .arg(kTimeShape));
    connect(box, &QLineEdit::editingFinished, this, &StatisticsWindow::showFigures);
    return box;
}

void StatisticsWindow::openLog(const QString &path) {
    logbook::DatabaseError error;
    if (!stats::readCompactLog(path, {}, error)) {
        m_messages.showMessage(QStringLiteral("%1 cannot be read as a log (%2).")
                                   .arg(QDir::toNativeSeparators(path), error.reason));
        return;
    }
    m_span.paths = {path};
    m_span.records.reset();
    m_span.title = QStringLiteral("The saved log %1").arg(QDir::toNativeSeparators(path));
    m_title->setText(m_span.title);
    showFigures();
}

void StatisticsWindow::saveChart(const QString &path) {
    if (!m_chart->picture().save(path, "PNG"))
        m_messages.showMessage(QStringLiteral("The chart could not be saved to %1.")
                                   .arg(QDir::toNativeSeparators(path)));
}

void StatisticsWindow::saveCsv(const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(stats::figureRowsCsv(m_figures)) < 0 ||
        !file.commit())
        m_messages.showMessage(QStringLiteral("The statistics could not be saved to %1: %2.")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
}

void StatisticsWindow::showFigures() {
    stats::SpanQuery query = m_span.limits;
    QStringList unread;
    for (const auto &[box, bound] : {std::pair(m_from, &query.from), std::pair(m_to, &query.to)}) {
        const QString text = core::trimBlanks(box->text());
        *bound = core::instantOfBound(text, bound == &query.to, query.zone);
        if (!text.isEmpty() && !*bound)
            unread.append(box->accessibleName());
    }
    QStringList wrong;
    if (!unread.isEmpty())
        wrong.append(QStringLiteral("%1: not a time as %2, so the span is not narrowed by it.")
                         .arg(unread.join(QStringLiteral(" and ")), kTimeShape));
    for (const auto &[box, limit] : {std::pair(m_hi, &query.hi), std::pair(m_low, &query.low)}) {
        *limit = {};
        const QStringList values =
            box->text().split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
        if (const std::optional<QString> fault =
                stats::readLimit(box->accessibleName(), values, *limit)) {
            *limit = {};
            wrong.append(*fault + QStringLiteral(", so it is left out."));
        }
    }
    m_narrowed->setText(wrong.join(u' '));
    const int interval = m_interval->currentData().toInt();
    const int generation = ++m_generation;
    if (m_cancel)
        m_cancel->store(true);
    if (m_span.records) {
        // The history plot's records, in memory already.
        stats::FigureBuilder builder(query, interval);
        builder.add(stats::compactLog(*m_span.records));
        stats::HistoryFigures figures;
        figures.span = builder.span();
        figures.intervals = builder.intervals();
        figures.events = builder.events();
        showResult(figures);
        return;
    }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancel;
    if (!m_progress) {
        m_progress = new QProgressDialog(QStringLiteral("Reading the logs..."),
                                         QStringLiteral("Cancel"), 0, 1, this);
        m_progress->setWindowTitle(QStringLiteral("Statistics"));
        m_progress->setMinimumDuration(500);
        // Reset when the reading is done, which hides it; not when its bar is full.
        m_progress->setAutoReset(false);
    }
    m_progress->setValue(0);
    // The window goes on painting while the logs are read; Cancel ends the reading.
    connect(
        m_progress, &QProgressDialog::canceled, this, [cancel] { cancel->store(true); },
        Qt::SingleShotConnection);
    m_computed->setText(QStringLiteral("Reading the logs..."));
    QPointer<StatisticsWindow> self(this);
    m_readers.emplace_back([self, generation, cancel, paths = m_span.paths, query, interval] {
        const auto progress = [self, generation, cancel](int done, int total) {
            QMetaObject::invokeMethod(
                qApp,
                [self, generation, done, total] {
                    if (self && self->m_generation == generation && self->m_progress) {
                        self->m_progress->setMaximum(total);
                        self->m_progress->setValue(done);
                    }
                },
                Qt::QueuedConnection);
            return !cancel->load();
        };
        const stats::HistoryFigures figures =
            stats::historyFigures(paths, query, interval, stats::cacheFolder(), progress);
        QMetaObject::invokeMethod(
            qApp,
            [self, generation, figures] {
                if (self && self->m_generation == generation)
                    self->showResult(figures);
            },
            Qt::QueuedConnection);
    });
}

void StatisticsWindow::showResult(const stats::HistoryFigures &figures) {
    if (m_progress)
        m_progress->reset();
    if (figures.cancelled) {
        m_computed->setText(QStringLiteral("Cancelled: the figures shown are the earlier ones."));
        return;
    }
    const qsizetype logs = figures.files.size();
    QStringList said{QStringLiteral("Computed at %1 from %2 %3.")
                         .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")))
                         .arg(logs)
                         .arg(logs == 1 ? QStringLiteral("log") : QStringLiteral("logs"))};
    for (const auto &[file, why] : figures.unread)
        said.append(QStringLiteral("%1 cannot be read as a log (%2) and is left out.")
                        .arg(QDir::toNativeSeparators(file), why));
    if (!figures.summarised.empty())
        said.append(QStringLiteral("%1 to %2 is taken from the minute summaries of %3 retired "
                                   "logs.")
                        .arg(core::isoTimeWithOffset(figures.summarised.front().first),
                             core::isoTimeWithOffset(figures.summarised.back().last))
                        .arg(figures.summarised.size()));
    m_computed->setText(said.join(u' '));
    m_figures = figures.span;
    m_intervals = figures.intervals;
    m_events = figures.events;

    while (QLayoutItem *item = m_tablesLayout->takeAt(0)) {
        if (item->widget() != m_chart && item->widget() != m_intervalTable &&
            item->widget() != m_eventTable)
            delete item->widget();
        delete item;
    }
    const bool byInterval = !m_intervals.empty();
    m_chart->setVisible(byInterval);
    m_intervalTable->setVisible(byInterval);
    m_saveChart->setEnabled(byInterval);
    if (byInterval) {
        m_chart->setIntervals(m_intervals, {m_events, m_span.limits.zone});
        fillIntervalTable();
        m_tablesLayout->addWidget(m_chart);
        m_tablesLayout->addWidget(m_intervalTable);
    }
    for (const stats::GroupFigures &group : m_figures.groups) {
        auto *title = new QLabel(QStringLiteral("<b>%1</b>").arg(stats::groupTitle(group)));
        m_tablesLayout->addWidget(title);
        m_tablesLayout->addWidget(figureTable(group, m_tables));
        if (group.function == core::kFunctionSound) {
            auto *note = new QLabel(stats::kSoundWeightingNote);
            note->setWordWrap(true);
            m_tablesLayout->addWidget(note);
        }
    }
    for (const QString &remark : stats::spanRemarks(m_figures))
        m_tablesLayout->addWidget(new QLabel(remark));
    const bool events = !m_span.limits.eventRules.empty();
    m_eventTable->setVisible(events);
    if (events) {
        m_tablesLayout->addWidget(
            new QLabel(m_events.empty() ? QStringLiteral("<b>Events</b>: none by the alarms' rules")
                                        : QStringLiteral("<b>Events</b> by the alarms' rules")));
        fillEventTable();
        m_tablesLayout->addWidget(m_eventTable);
    }
    m_tablesLayout->addStretch();
}

void StatisticsWindow::fillEventTable() {
    const QStringList headers{QStringLiteral("Rule"),    QStringLiteral("Limit"),
                              QStringLiteral("Start"),   QStringLiteral("End"),
                              QStringLiteral("Seconds"), QStringLiteral("Peak"),
                              QStringLiteral("Leq"),     QStringLiteral("Raised")};
    m_eventTable->clear();
    m_eventTable->setColumnCount(int(headers.size()));
    m_eventTable->setHorizontalHeaderLabels(headers);
    m_eventTable->setRowCount(int(m_events.size()));
    const auto level = [](double v, const QString &unit) {
        return QString::number(v, 'f', 1) + (unit.isEmpty() ? QString() : u' ' + unit);
    };
    for (int row = 0; row < int(m_events.size()); ++row) {
        const stats::EventFigures &e = m_events[std::size_t(row)];
        const QStringList cells{e.rule,
                                level(e.limit, e.unit),
                                core::isoTimeWithOffset(e.start),
                                core::isoTimeWithOffset(e.end),
                                QString::number(e.end.utc - e.start.utc),
                                level(e.peak, e.unit),
                                e.leq ? level(*e.leq, e.unit) : QString(),
                                e.going    ? QStringLiteral("still going")
                                : e.raised ? QStringLiteral("yes")
                                           : QStringLiteral("too short")};
        for (int c = 0; c < int(cells.size()); ++c)
            m_eventTable->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    m_eventTable->resizeColumnsToContents();
}

void StatisticsWindow::fillIntervalTable() {
    const QStringList headers{QStringLiteral("Start"),    QStringLiteral("Group"),
                              QStringLiteral("Readings"), QStringLiteral("Leq or mean"),
                              QStringLiteral("Min"),      QStringLiteral("Max")};
    int rows = 0;
    for (const stats::IntervalFigures &i : m_intervals)
        rows += int(i.groups.size());
    m_intervalTable->clear();
    m_intervalTable->setColumnCount(int(headers.size()));
    m_intervalTable->setHorizontalHeaderLabels(headers);
    m_intervalTable->setRowCount(rows);
    const auto level = [](const std::optional<double> &v) {
        return v ? QString::number(*v, 'f', 2) : QStringLiteral("none");
    };
    int row = 0;
    for (const stats::IntervalFigures &i : m_intervals)
        for (const stats::GroupFigures &g : i.groups) {
            const QStringList cells{core::isoTimeWithOffset(i.start),
                                    stats::groupTitle(g),
                                    QString::number(g.readings),
                                    level(g.function == core::kFunctionSound ? g.leq : g.mean),
                                    level(g.min),
                                    level(g.max)};
            for (int c = 0; c < int(cells.size()); ++c)
                m_intervalTable->setItem(row, c, new QTableWidgetItem(cells[c]));
            ++row;
        }
    m_intervalTable->resizeColumnsToContents();
}

} // namespace views
