#include "views/statistics/statistics_window.h"

#include "core/message_boxes.h"
#include "core/number_text.h"
#include "core/time_stamp.h"
#include "statistics/figure_text.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QTableWidget>

namespace views {

namespace {

const QString kTimeShape = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QTableWidget *figureTable(const stats::GroupFigures &group, QWidget *parent) {
    const std::vector<stats::FigureRow> rows = stats::figureRows(group);
    auto *table = new QTableWidget(int(rows.size()), 2, parent);
    table->setAccessibleName(stats::groupTitle(group));
    if (group.function == u"Sound")
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

    auto *bounds = new QHBoxLayout;
    m_from = timeBox(QStringLiteral("&From"));
    m_to = timeBox(QStringLiteral("&To"));
    for (QLineEdit *box : {m_from, m_to}) {
        auto *label = new QLabel(box->accessibleName(), this);
        label->setBuddy(box);
        box->setAccessibleName(QString(box->accessibleName()).remove(u'&'));
        bounds->addWidget(label);
        bounds->addWidget(box);
    }
    layout->addLayout(bounds);
    const auto limit = [](const std::optional<double> &value) {
        return value ? core::doubleText(*value) : QStringLiteral("none");
    };
    auto *limits =
        new QLabel(QStringLiteral("HI %1 and LOW %2, from the main window's limits")
                       .arg(limit(m_span.limits.hi.every), limit(m_span.limits.low.every)),
                   this);
    limits->setAccessibleDescription(QStringLiteral("Alarm limits"));
    layout->addWidget(limits);
    m_narrowed = new QLabel(this);
    m_narrowed->setAccessibleDescription(QStringLiteral("Span"));
    layout->addWidget(m_narrowed);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    m_tables = new QWidget(scroll);
    m_tablesLayout = new QVBoxLayout(m_tables);
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
    button(QStringLiteral("&Print"), [this] { m_print(m_title->text(), m_figures); });
    button(QStringLiteral("Close"), &QDialog::reject);
    layout->addLayout(buttons);
    resize(620, 680);
    showFigures();
}

QLineEdit *StatisticsWindow::timeBox(const QString &name) {
    auto *box = new QLineEdit(this);
    box->setAccessibleName(name);
    box->setPlaceholderText(kTimeShape);
    box->setAccessibleDescription(QStringLiteral("Time as %1; empty for no bound").arg(kTimeShape));
    connect(box, &QLineEdit::editingFinished, this, &StatisticsWindow::showFigures);
    return box;
}

void StatisticsWindow::openLog(const QString &path) {
    logbook::DatabaseError error;
    std::optional<std::vector<logbook::LogRecord>> records = stats::readLogRecords(path, error);
    if (!records) {
        m_messages.showMessage(QStringLiteral("%1 cannot be read as a log (%2).")
                                   .arg(QDir::toNativeSeparators(path), error.reason));
        return;
    }
    m_span.records = std::move(*records);
    m_span.title = QStringLiteral("The saved log %1").arg(QDir::toNativeSeparators(path));
    m_title->setText(m_span.title);
    showFigures();
}

void StatisticsWindow::saveCsv(const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(stats::statisticsCsv(m_figures)) < 0 ||
        !file.commit())
        m_messages.showMessage(QStringLiteral("The statistics could not be saved to %1: %2.")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
}

void StatisticsWindow::showFigures() {
    stats::SpanQuery query = m_span.limits;
    QStringList unread;
    for (const auto &[box, bound] : {std::pair(m_from, &query.from), std::pair(m_to, &query.to)}) {
        const QString text = core::trimBlanks(box->text());
        *bound = core::clockSecondsOfIso(text);
        if (!text.isEmpty() && !*bound)
            unread.append(box->accessibleName());
    }
    m_narrowed->setText(
        unread.isEmpty()
            ? QString()
            : QStringLiteral("%1: not a time as %2, so the span is not narrowed by it.")
                  .arg(unread.join(QStringLiteral(" and ")), kTimeShape));
    m_figures = stats::spanFigures(m_span.records, query);

    while (QLayoutItem *item = m_tablesLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const stats::GroupFigures &group : m_figures.groups) {
        auto *title = new QLabel(QStringLiteral("<b>%1</b>").arg(stats::groupTitle(group)));
        m_tablesLayout->addWidget(title);
        m_tablesLayout->addWidget(figureTable(group, m_tables));
        if (group.function == u"Sound") {
            auto *note = new QLabel(stats::kSoundWeightingNote);
            note->setWordWrap(true);
            m_tablesLayout->addWidget(note);
        }
    }
    for (const QString &remark : stats::spanRemarks(m_figures))
        m_tablesLayout->addWidget(new QLabel(remark));
    m_tablesLayout->addStretch();
}

} // namespace views
