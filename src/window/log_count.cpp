#include "window/log_count.h"

#include "window/chart_handlers.h"
#include "window/window_model.h"

namespace window {

void setLogRecordCount(WindowModel &model, qint32 records) {
    model.fields.logRecordCount = records;
    model.setMaximum(ControlId::historySlider, records == 0 ? 1 : records + 1);
}

void startLogAfresh(WindowModel &model, ChartHandlers &chart) {
    chart.applyChartBackground();
    chart.startTrendAfresh();
    setLogRecordCount(model, 0);
}

} // namespace window
