#include "window/log_count.h"

#include "window/chart_handlers.h"
#include "window/window_model.h"

namespace window {

void setLogRecordCount(WindowModel &model, qint32 records) {
    model.fields.LogRecordCount = records;
    model.fields.NextRecordNo = records;
    model.setMaximum(ControlId::Slider1, records == 0 ? 1 : records + 1);
}

void startLogAfresh(WindowModel &model, ChartHandlers &chart) {
    chart.ApplyChartBackground();
    model.fields.TrendCount = 0;
    model.fields.MinMaxRestart = true;
    setLogRecordCount(model, 0);
}

} // namespace window
