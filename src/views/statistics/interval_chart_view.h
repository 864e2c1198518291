#pragma once

#include "statistics/interval_chart.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QPainter;

namespace views {

/// Paints the chart of the intervals (stats::intervalChart) into a box of `size` pixels, its
/// texts in the painter's font.
void paintIntervalChart(QPainter &painter, QSizeF size,
                        const std::vector<stats::IntervalFigures> &intervals,
                        const stats::ChartContext &context);

/// The height in pixels the chart of `panels` panels needs, its texts `textHeight` high.
int intervalChartHeight(int panels, double textHeight);

/// The chart as a picture of `size` pixels on white.
QImage intervalChartImage(QSize size, const std::vector<stats::IntervalFigures> &intervals,
                          const stats::ChartContext &context);

/// Writes the chart at `size` pixels into `path`: PNG, SVG or PDF by its name's ending, texts
/// as text in the last two. What failed, in words for the user; empty when it was written.
QString saveIntervalChart(const QString &path, QSize size,
                          const std::vector<stats::IntervalFigures> &intervals,
                          const stats::ChartContext &context);

/// The chart of the statistics' intervals (stats::intervalChart), named and described for
/// screen readers; the interval table beside it carries the same numbers. It is as tall as its
/// panels need.
class IntervalChartView : public QWidget {
    Q_OBJECT
  public:
    explicit IntervalChartView(QWidget *parent = nullptr);

    void setIntervals(std::vector<stats::IntervalFigures> intervals, stats::ChartContext context);
    /// The chart as a picture: as wide as shown, at least kSavedWidth, and as tall as its
    /// panels need.
    QImage picture() const;

    static constexpr int kSavedWidth = 1200;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    std::vector<stats::IntervalFigures> m_intervals;
    stats::ChartContext m_context;
};

} // namespace views
