#include "report/statistics_page.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "report/printer.h"
#include "statistics/figure_text.h"
#include "statistics/interval_chart.h"

namespace report {

namespace {

// Twips on the printable page.
constexpr double kLeft = 1000;
constexpr double kRight = 10800;
constexpr double kValueColumn = 6000;
constexpr double kTop = 800;
constexpr double kBottom = 15500;
constexpr double kLine = 300;

/// Writes lines down the page, beginning a new page where the page is full.
class PageWriter {
  public:
    explicit PageWriter(Printer &printer) : m_printer(printer) {
        m_printer.setPaperSize(Printer::kPaperA4);
        m_printer.setFontName(QStringLiteral("Arial"));
    }
    ~PageWriter() { endPage(); }

    void line(const QString &left, const QString &right, double points, bool bold) {
        if (m_y + kLine > kBottom)
            endPage();
        m_printer.setFontSize(points);
        m_printer.setFontBold(bold);
        m_printer.setCurrentY(m_y);
        m_printer.setCurrentX(kLeft);
        m_printer.print(left);
        if (!right.isEmpty()) {
            m_printer.setCurrentX(kValueColumn);
            m_printer.print(right);
        }
        m_y += kLine * points / 10;
    }
    void space() { m_y += kLine; }

    /// The intervals' chart across the page, in black: bars and bands outlined, HI and LOW
    /// drawn thicker.
    void chart(const std::vector<stats::IntervalFigures> &intervals) {
        constexpr double kChartHeight = 5600;
        constexpr double kTextPoints = 8;
        constexpr double kTextHeight = kTextPoints * 20;
        if (m_y + kChartHeight > kBottom)
            endPage();
        const stats::ChartDrawing drawing = stats::intervalChart(
            intervals, kLeft, m_y, kRight - kLeft, kChartHeight, kTextHeight * 1.4);
        for (const stats::ChartShape &shape : drawing.shapes) {
            // In black on white, grid lines and shaded events would only blacken the chart.
            if (shape.kind == stats::ChartShape::Kind::Grid ||
                shape.kind == stats::ChartShape::Kind::Event)
                continue;
            const bool limit = shape.kind == stats::ChartShape::Kind::Hi ||
                               shape.kind == stats::ChartShape::Kind::Low;
            m_printer.setDrawWidth(limit || shape.kind == stats::ChartShape::Kind::Mean ? 3 : 1);
            if (shape.kind == stats::ChartShape::Kind::Bar ||
                shape.kind == stats::ChartShape::Kind::Band) {
                m_printer.line(shape.x1, shape.y1, shape.x2, shape.y1);
                m_printer.line(shape.x2, shape.y1, shape.x2, shape.y2);
                m_printer.line(shape.x2, shape.y2, shape.x1, shape.y2);
                m_printer.line(shape.x1, shape.y2, shape.x1, shape.y1);
            } else {
                m_printer.line(shape.x1, shape.y1, shape.x2, shape.y2);
            }
        }
        m_printer.setDrawWidth(1);
        m_printer.setFontSize(kTextPoints);
        m_printer.setFontBold(false);
        for (const stats::ChartText &text : drawing.texts) {
            // The chart's texts stand on their baseline; the printer's hang from their top.
            const double width = double(text.text.size()) * kTextHeight * 0.5;
            m_printer.setCurrentX(text.alignRight ? text.x - width : text.x);
            m_printer.setCurrentY(text.y - kTextHeight);
            m_printer.print(text.text);
        }
        m_y += kChartHeight + kLine;
    }

    /// A row of cells, each from its column's left edge.
    void cells(const QStringList &texts, const std::vector<double> &columns, double points,
               bool bold) {
        if (m_y + kLine > kBottom)
            endPage();
        m_printer.setFontSize(points);
        m_printer.setFontBold(bold);
        for (std::size_t c = 0; c < columns.size() && c < std::size_t(texts.size()); ++c) {
            m_printer.setCurrentY(m_y);
            m_printer.setCurrentX(columns[c]);
            m_printer.print(texts[qsizetype(c)]);
        }
        m_y += kLine * points / 10;
    }

  private:
    /// The page's number at its foot, and the page ended.
    void endPage() {
        m_printer.setFontSize(8);
        m_printer.setFontBold(false);
        m_printer.setCurrentY(kBottom + kLine);
        m_printer.setCurrentX((kLeft + kRight) / 2 - 300);
        m_printer.print(QStringLiteral("Page %1").arg(++m_page));
        m_printer.endDoc();
        m_y = kTop;
    }

    Printer &m_printer;
    double m_y = kTop;
    int m_page = 0;
};

} // namespace

void printStatistics(Printer &printer, const QString &span, const stats::SpanFigures &figures,
                     const std::vector<stats::IntervalFigures> &intervals,
                     const std::vector<stats::EventFigures> &events, const QString &made) {
    PageWriter page(printer);
    page.line(QStringLiteral("Statistics"), {}, 18, true);
    page.line(span, {}, 10, false);
    if (!made.isEmpty())
        page.line(made, {}, 8, false);
    if (!intervals.empty()) {
        page.space();
        page.chart(intervals);
    }
    for (const stats::GroupFigures &group : figures.groups) {
        page.space();
        page.line(stats::groupTitle(group), {}, 12, true);
        for (const stats::FigureRow &row : stats::figureRows(group))
            page.line(row.name, row.shown(), 10, false);
        if (group.function == core::kFunctionSound)
            page.line(stats::kSoundWeightingNote, {}, 8, false);
    }
    for (const QString &remark : stats::spanRemarks(figures))
        page.line(remark, {}, 10, false);
    const auto level = [](const std::optional<double> &v) {
        return v ? QString::number(*v, 'f', 2) : QStringLiteral("none");
    };
    if (!intervals.empty()) {
        page.space();
        page.line(QStringLiteral("Intervals"), {}, 12, true);
        const std::vector<double> columns{kLeft, 3900, 5700, 6900, 8300, 9500};
        page.cells({QStringLiteral("Start"), QStringLiteral("Group"), QStringLiteral("Readings"),
                    QStringLiteral("Leq or mean"), QStringLiteral("Min"), QStringLiteral("Max")},
                   columns, 9, true);
        for (const stats::IntervalFigures &i : intervals)
            for (const stats::GroupFigures &g : i.groups)
                page.cells({core::isoTimeWithOffset(i.start), stats::groupTitle(g),
                            QString::number(g.readings),
                            level(g.function == core::kFunctionSound ? g.leq : g.mean),
                            level(g.min), level(g.max)},
                           columns, 9, false);
    }
    if (!events.empty()) {
        page.space();
        page.line(QStringLiteral("Events"), {}, 12, true);
        for (const stats::EventFigures &e : events)
            page.line(QStringLiteral("%1 %2 %3: %4 to %5, peak %6%7")
                          .arg(e.rule, QString::number(e.limit, 'g', 6), e.unit,
                               core::isoTimeWithOffset(e.start), core::isoTimeWithOffset(e.end),
                               QString::number(e.peak, 'f', 1),
                               e.raised ? QString() : QStringLiteral(", too short to raise")),
                      {}, 9, false);
    }
}

} // namespace report
