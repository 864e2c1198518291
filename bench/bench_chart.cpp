// Drawing on the real surface: the segment each reading adds, and a full redraw of the plot.
#include "chart/frame_axes.h"
#include "chart/image_surface.h"
#include "chart/plot_background.h"
#include "chart/trend_plot.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr chart::BoxGeometry kPlotBox{840, 120, 6015, 2790, 2};

chart::ChartSettings startSettings() { return {"400.0", "-400.0", "Black", "White", 1, 1}; }

float wave(int slot) { return float(350 * std::sin(slot / 9.0)); }

void BM_AppendSegment(benchmark::State &state) {
    chart::ImageSurface plot(kPlotBox, double(state.range(0)));
    chart::Trend trend;
    const chart::ChartSettings settings = startSettings();
    chart::applyChartBackground(plot, settings);
    int i = 0;
    for (auto _ : state) {
        // The wrap at 300 would add a full background now and then; stay below it.
        if (trend.count() == chart::kTrendSlots - 1) {
            state.PauseTiming();
            trend.restart();
            state.ResumeTiming();
        }
        trend.store(wave(i++ % chart::kTrendSlots));
        chart::drawNewestSegment(plot, trend, settings);
        chart::advanceTrend(plot, trend, settings);
    }
}
BENCHMARK(BM_AppendSegment)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_BackgroundAndRedraw299(benchmark::State &state) {
    chart::ImageSurface plot(kPlotBox, double(state.range(0)));
    chart::Trend trend;
    for (int slot = 0; slot < chart::kTrendSlots - 1; ++slot) {
        trend.store(wave(slot));
        trend.advance();
    }
    const chart::ChartSettings settings = startSettings();
    for (auto _ : state) {
        chart::applyChartBackground(plot, settings);
        chart::redrawTrend(plot, trend, settings);
    }
}
BENCHMARK(BM_BackgroundAndRedraw299)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_FrameRepaint(benchmark::State &state) {
    chart::ImageSurface frame({240, 3840, 7095, 3255, 0});
    const chart::ImageSurface plot(kPlotBox);
    chart::ValueLabels values{"400.0",  "300.0",  "200.0",  "100.0", "0",
                              "-100.0", "-200.0", "-300.0", "-400.0"};
    chart::TimeLabels times;
    for (int i = 0; i < 16; ++i)
        times[i] = QString::number(20 * i);
    for (auto _ : state)
        chart::repaintChartFrame(frame, plot, values, times);
}
BENCHMARK(BM_FrameRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
