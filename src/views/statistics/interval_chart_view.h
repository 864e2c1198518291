#pragma once

#include "statistics/figures.h"

#include <QWidget>

#include <vector>

namespace views {

/// The chart of the statistics' intervals (stats::intervalChart), named and described for
/// screen readers; the interval table beside it carries the same numbers.
class IntervalChartView : public QWidget {
    Q_OBJECT
  public:
    explicit IntervalChartView(QWidget *parent = nullptr);

    void setIntervals(std::vector<stats::IntervalFigures> intervals);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    std::vector<stats::IntervalFigures> m_intervals;
};

} // namespace views
