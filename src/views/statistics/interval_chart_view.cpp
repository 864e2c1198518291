#include "views/statistics/interval_chart_view.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace views {

namespace {

QColor colourOf(stats::ChartShape::Kind kind) {
    switch (kind) {
    case stats::ChartShape::Kind::Bar:
        return QColor(70, 110, 170);
    case stats::ChartShape::Kind::Band:
        return QColor(200, 215, 235);
    case stats::ChartShape::Kind::Mark:
    case stats::ChartShape::Kind::Mean:
        return QColor(20, 20, 20);
    case stats::ChartShape::Kind::Hi:
        return QColor(200, 30, 30);
    case stats::ChartShape::Kind::Low:
        return QColor(30, 100, 200);
    case stats::ChartShape::Kind::Grid:
        return QColor(225, 225, 225);
    case stats::ChartShape::Kind::Event:
        return QColor(255, 200, 120, 140);
    case stats::ChartShape::Kind::Axis:
        break;
    }
    return QColor(90, 90, 90);
}

} // namespace

void paintIntervalChart(QPainter &painter, QSizeF size,
                        const std::vector<stats::IntervalFigures> &intervals,
                        const stats::ChartContext &context) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(painter.font());
    const stats::ChartDrawing drawing = stats::intervalChart(
        intervals, 4, 2, size.width() - 8, size.height() - 4, metrics.height(), context);
    for (const stats::ChartShape &s : drawing.shapes) {
        const QColor colour = colourOf(s.kind);
        if (s.kind == stats::ChartShape::Kind::Bar || s.kind == stats::ChartShape::Kind::Band ||
            s.kind == stats::ChartShape::Kind::Event) {
            painter.fillRect(QRectF(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2)).normalized(), colour);
            continue;
        }
        QPen pen(colour, s.kind == stats::ChartShape::Kind::Mean ? 2 : 1);
        if (s.kind == stats::ChartShape::Kind::Hi || s.kind == stats::ChartShape::Kind::Low)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
    }
    painter.setPen(QColor(0, 0, 0));
    for (const stats::ChartText &t : drawing.texts) {
        const double x = t.alignRight ? t.x - metrics.horizontalAdvance(t.text) : t.x;
        painter.drawText(QPointF(x, t.y), t.text);
    }
}

int intervalChartHeight(int panels, double textHeight) {
    return int(panels * (stats::kLeastPanelPixels + textHeight * 4.1) + 4);
}

QImage intervalChartImage(QSize size, const std::vector<stats::IntervalFigures> &intervals,
                          const stats::ChartContext &context) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintIntervalChart(painter, size, intervals, context);
    return image;
}

QString saveIntervalChart(const QString &path, QSize size,
                          const std::vector<stats::IntervalFigures> &intervals,
                          const stats::ChartContext &context) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString shown = QDir::toNativeSeparators(path);
    constexpr int kScreenDpi = 96;
    if (suffix == u"svg") {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setResolution(kScreenDpi);
        svg.setTitle(QStringLiteral("Interval chart"));
        svg.setDescription(stats::intervalChartDescription(intervals));
        QPainter painter;
        if (!painter.begin(&svg))
            return QStringLiteral("%1 cannot be written").arg(shown);
        painter.fillRect(QRect(QPoint(), size), Qt::white);
        paintIntervalChart(painter, size, intervals, context);
        return {};
    }
    if (suffix == u"pdf") {
        QPdfWriter pdf(path);
        pdf.setResolution(kScreenDpi);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kScreenDpi, QPageSize::Point));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(QStringLiteral("Interval chart"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return QStringLiteral("%1 cannot be written").arg(shown);
        paintIntervalChart(painter, size, intervals, context);
        return {};
    }
    if (suffix != u"png")
        return QStringLiteral("%1: a chart is written as .png, .svg or .pdf").arg(shown);
    if (!intervalChartImage(size, intervals, context).save(path, "PNG"))
        return QStringLiteral("%1 cannot be written").arg(shown);
    return {};
}

IntervalChartView::IntervalChartView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Interval chart"));
    setAccessibleName(QStringLiteral("Interval chart"));
    setFocusPolicy(Qt::TabFocus);
    setMinimumHeight(intervalChartHeight(1, fontMetrics().height()));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void IntervalChartView::setIntervals(std::vector<stats::IntervalFigures> intervals,
                                     stats::ChartContext context) {
    m_intervals = std::move(intervals);
    m_context = std::move(context);
    setMinimumHeight(
        intervalChartHeight(std::max(1, stats::chartPanels(m_intervals)), fontMetrics().height()));
    setAccessibleDescription(stats::intervalChartDescription(m_intervals));
    update();
}

QImage IntervalChartView::picture() const {
    return intervalChartImage(
        QSize(std::max(width(), kSavedWidth), std::max(height(), minimumHeight())), m_intervals,
        m_context);
}

void IntervalChartView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintIntervalChart(painter, size(), m_intervals, m_context);
}

} // namespace views
