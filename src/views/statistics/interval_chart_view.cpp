#include "views/statistics/interval_chart_view.h"

#include "statistics/interval_chart.h"

#include <QPainter>

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
    case stats::ChartShape::Kind::Axis:
        break;
    }
    return QColor(90, 90, 90);
}

} // namespace

IntervalChartView::IntervalChartView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Interval chart"));
    setAccessibleName(QStringLiteral("Interval chart"));
    setFocusPolicy(Qt::TabFocus);
    setMinimumHeight(220);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void IntervalChartView::setIntervals(std::vector<stats::IntervalFigures> intervals) {
    m_intervals = std::move(intervals);
    setAccessibleDescription(stats::intervalChartDescription(m_intervals));
    update();
}

void IntervalChartView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double text = fontMetrics().height();
    const stats::ChartDrawing drawing =
        stats::intervalChart(m_intervals, 4, 2, width() - 8, height() - 4, text);
    for (const stats::ChartShape &s : drawing.shapes) {
        const QColor colour = colourOf(s.kind);
        if (s.kind == stats::ChartShape::Kind::Bar || s.kind == stats::ChartShape::Kind::Band) {
            painter.fillRect(QRectF(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2)).normalized(), colour);
            continue;
        }
        QPen pen(colour, s.kind == stats::ChartShape::Kind::Mean ? 2 : 1);
        if (s.kind == stats::ChartShape::Kind::Hi || s.kind == stats::ChartShape::Kind::Low)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
    }
    painter.setPen(palette().color(QPalette::Text));
    for (const stats::ChartText &t : drawing.texts) {
        const double x = t.alignRight ? t.x - fontMetrics().horizontalAdvance(t.text) : t.x;
        painter.drawText(QPointF(x, t.y), t.text);
    }
}

} // namespace views
