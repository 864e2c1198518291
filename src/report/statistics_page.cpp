#include "report/statistics_page.h"

#include "statistics/figure_text.h"
#include "report/printer.h"

namespace report {

namespace {

// Twips on the printable page.
constexpr double kLeft = 1000;
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
    ~PageWriter() { m_printer.endDoc(); }

    void line(const QString &left, const QString &right, double points, bool bold) {
        if (m_y + kLine > kBottom) {
            m_printer.endDoc();
            m_y = kTop;
        }
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

  private:
    Printer &m_printer;
    double m_y = kTop;
};

} // namespace

void printStatistics(Printer &printer, const QString &span, const stats::SpanFigures &figures) {
    PageWriter page(printer);
    page.line(QStringLiteral("Statistics"), {}, 18, true);
    page.line(span, {}, 10, false);
    for (const stats::GroupFigures &group : figures.groups) {
        page.space();
        page.line(stats::groupTitle(group), {}, 12, true);
        for (const stats::FigureRow &row : stats::figureRows(group))
            page.line(row.name, row.shown(), 10, false);
        if (group.function == u"Sound")
            page.line(stats::kSoundWeightingNote, {}, 8, false);
    }
    for (const QString &remark : stats::spanRemarks(figures))
        page.line(remark, {}, 10, false);
}

} // namespace report
