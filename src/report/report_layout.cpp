#include "report/report_layout.h"

#include "core/number_text.h"
#include "report/printer.h"

namespace report {

namespace {

const QString kArial = QStringLiteral("Arial");
const QString kCourier = QStringLiteral("Courier");

// The graph's plot area in twips: value axis at x 2000, grid from y 2600 down 6500 twips.
constexpr double kPlotLeft = 2000;
constexpr double kPlotTop = 2600;
constexpr double kPlotHeight = 6500;
constexpr double kPlotWidth = 8500;
constexpr double kDash = 60;

/// Draws one dash of a dashed line when the pen is down, then lifts or lowers the pen.
void dash(Printer &printer, bool &penDown, double x1, double y1, double x2, double y2) {
    if (penDown)
        printer.line(x1, y1, x2, y2);
    penDown = !penDown;
}

int valueLabelShift(qsizetype length) {
    switch (length) {
    case 1:
        return 500;
    case 2:
        return 400;
    case 3:
        return 300;
    case 4:
        return 200;
    case 5:
        return 100;
    case 6:
        return 0;
    default:
        return 200;
    }
}

void printFrameAndGrid(Printer &printer, const GraphTexts &texts) {
    printer.setDrawWidth(3);
    printer.line(800, 2000, 10800, 2000);
    printer.line(10800, 2000, 10800, 10000);
    printer.line(800, 2000, 800, 10000);
    printer.line(800, 10000, 10800, 10000);
    printer.setDrawWidth(5);
    printer.line(kPlotLeft, kPlotTop, kPlotLeft, 9100);
    printer.line(kPlotLeft, 9100, 10500, 9100);
    // One pen for every dash of the page: the rows and columns carry its phase on.
    bool penDown = false;
    printer.setDrawWidth(1);
    for (int row = 0; row <= 7; ++row) {
        const double y = kPlotTop + 810 * row;
        for (int x = 0; x <= 8440; x += int(kDash))
            dash(printer, penDown, kPlotLeft + x, y, kPlotLeft + x + kDash, y);
    }
    printer.setDrawWidth(2);
    for (int i = 0; i <= 8; ++i)
        printer.line(1900, kPlotTop + 810 * i, kPlotLeft, kPlotTop + 810 * i);
    printer.setFontName(kCourier);
    printer.setFontSize(14);
    for (int i = 0; i <= 8; ++i) {
        printer.setCurrentX(1000 + valueLabelShift(texts.valueLabels[i].size()));
        printer.setCurrentY(2500 + 810 * i);
        printer.print(texts.valueLabels[i]);
    }
    printer.setDrawWidth(1);
    for (int column = 1; column <= 15; ++column) {
        const double x = kPlotLeft + 560 * column;
        for (int y = 0; y <= 6500; y += int(kDash))
            dash(printer, penDown, x, kPlotTop + y, x, kPlotTop + y + kDash);
    }
    printer.setDrawWidth(2);
    for (int k = 0; k <= 15; ++k)
        printer.line(kPlotLeft + 560 * k, 9100, kPlotLeft + 560 * k, 9200);
    printer.setDrawWidth(1);
    for (int k = 0; k <= 15; ++k) {
        const qsizetype length = texts.timeLabels[k].size();
        const int shift = length == 1 ? 40 : (length == 3 ? -40 : 0);
        printer.setCurrentX(1860 + 560 * k + shift);
        printer.setCurrentY(9300);
        printer.print(texts.timeLabels[k]);
    }
}

void printCurve(Printer &printer, std::span<const logbook::LogRecord> records,
                const GraphTexts &texts) {
    const float max = float(core::leadingNumber(texts.vertMax));
    const float min = float(core::leadingNumber(texts.vertMin));
    if (max == min)
        return;
    const float scale = float(kPlotHeight / double(max - min));
    const float step = float(kPlotWidth / 300);
    // Over range (stored as "4000" or more), and texts that are no number, on the top line.
    const auto value = [max](const QString &data) {
        const std::optional<double> number = core::strictNumber(data);
        return number && *number < 4000 ? *number : double(max);
    };
    const auto y = [&](double v) { return kPlotTop + kPlotHeight - (v - min) * double(scale); };
    printer.setDrawWidth(2);
    for (std::size_t j = 1; j < records.size(); ++j)
        printer.line(kPlotLeft + double(j - 1) * double(step), y(value(records[j - 1].data)),
                     kPlotLeft + double(j) * double(step), y(value(records[j].data)));
}

} // namespace

QString printStyle(qint32 number) {
    return (number < 0 ? QString() : QStringLiteral(" ")) + QString::number(number) +
           QStringLiteral(" ");
}

void printPageSetUp(Printer &printer) {
    printer.setPaperSize(Printer::kPaperA4);
    printer.setFontName(kArial);
    printer.setFontSize(24);
    printer.setFontBold(true);
    printer.setCurrentX(3000);
    printer.setCurrentY(800);
    printer.print(kReportTitle);
}

int printListPage(Printer &printer, std::span<const logbook::LogRecord> records, int first) {
    printPageSetUp(printer);
    printer.setFontSize(18);
    printer.setCurrentX(2300);
    printer.setCurrentY(1600);
    const double x0 = printer.currentX();
    const double y0 = printer.currentY();
    const QString heads[] = {QStringLiteral("NO"), QStringLiteral("FUN"), QStringLiteral("DATA"),
                             QStringLiteral("UNIT"), QStringLiteral("TIME")};
    for (int i = 0; i < 5; ++i) {
        printer.setCurrentX(x0 + 1500 * i);
        printer.setCurrentY(y0);
        printer.print(heads[i]);
    }
    printer.setDrawWidth(3);
    printer.line(2300, 2000, 9180, 2000);
    printer.setFontName(kCourier);
    double y = 2100;
    int k = first;
    for (int row = 0; row < kListRows && k < int(records.size()); ++row, ++k, y += 450) {
        const logbook::LogRecord &record = records[std::size_t(k)];
        const QString cells[] = {printStyle(record.no), record.function, record.data, record.unit,
                                 record.time.left(8)};
        for (int i = 0; i < 5; ++i) {
            printer.setCurrentX(2300 + 1500 * i);
            printer.setCurrentY(y);
            printer.print(cells[i]);
        }
    }
    printer.endDoc();
    return k;
}

void printGraphPage(Printer &printer, std::span<const logbook::LogRecord> records,
                    const GraphTexts &texts) {
    printPageSetUp(printer);
    printFrameAndGrid(printer, texts);
    printCurve(printer, records, texts);
    printer.setDrawWidth(1);
    printer.setFontName(kCourier);
    printer.setFontSize(18);
    printer.setCurrentX(1500);
    printer.setCurrentY(12000);
    printer.print(QStringLiteral("FUNCTION:") + texts.function +
                  QStringLiteral("              UNIT:") + texts.unit);
    printer.endDoc();
}

} // namespace report
