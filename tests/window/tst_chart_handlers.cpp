#include "recording_surfaces.h"
#include "window/chart_handlers.h"
#include "window/window_model.h"

#include <QSignalSpy>
#include <QTest>

using chart::Primitive;
using Kind = chart::Primitive::Kind;
using window::ControlId;

class TestChartHandlers : public QObject {
    Q_OBJECT

    window::WindowModel m_model;
    RecordingSurfaces m_boxes;
    chart::RecordingSurface &m_plot = m_boxes.plot;
    chart::RecordingSurface &m_frame = m_boxes.frame;
    chart::RecordingSurface &m_wedge = m_boxes.wedge;
    chart::RecordingSurface &m_bar = m_boxes.bar;
    window::ChartHandlers m_chart{m_model, m_plot, m_frame, m_wedge, m_bar};

    int count(const chart::RecordingSurface &surface, Kind kind) {
        return int(std::count_if(surface.primitives().begin(), surface.primitives().end(),
                                 [kind](const Primitive &p) { return p.kind == kind; }));
    }

  private slots:
    void init() {
        QList<window::ComboItem> items;
        for (int i = 1; i <= 16; ++i)
            items.append({QStringLiteral("Signal%1").arg(i), core::kColourTable[i - 1].name, i});
        m_model.setItems(ControlId::ImageCombo1, items);
        m_model.setItems(ControlId::ImageCombo2, items);
        m_model.setValue(ControlId::ImageCombo1, 2);
        m_model.setValue(ControlId::ImageCombo2, 15);
        m_model.setValue(ControlId::Check2, 1);
        m_model.setValue(ControlId::Check3, 1);
        m_model.fields.ValueLabels = {"400.0",  "300.0",  "200.0",  "100.0", "0",
                                      "-100.0", "-200.0", "-300.0", "-400.0"};
        m_model.fields.TrendCount = 3;
        m_model.fields.TrendBuffer[0] = 10;
        m_model.fields.TrendBuffer[1] = 20;
        m_model.fields.TrendBuffer[2] = 30;
        for (chart::RecordingSurface *s : {&m_plot, &m_frame, &m_wedge, &m_bar})
            s->forget();
    }

    void colourChoosersRepaintAndGiveTheFocusAway() {
        QSignalSpy focus(&m_model, &window::WindowModel::focusRequested);
        m_model.setValue(ControlId::ImageCombo1, 14); // Teal
        m_chart.clicked(ControlId::ImageCombo1);
        QCOMPARE(m_plot.primitives().first(),
                 (Primitive{Kind::Clear, {16, 139, 129}, 0, 0, 0, 0, 0, 0, {}}));
        QCOMPARE(m_plot.primitives()[1].colour, (core::Rgb{0, 128, 128}));
        QCOMPARE(m_plot.primitives().last().widthPixels, 2); // and the curve over it
        m_plot.forget();
        m_model.setValue(ControlId::ImageCombo2, 12); // Red
        m_chart.clicked(ControlId::ImageCombo2);
        QVERIFY(m_plot.primitives().isEmpty());
        QCOMPARE(m_plot.foreColour(), (core::Rgb{255, 0, 0}));
        QCOMPARE(focus.size(), 2);
        QCOMPARE(focus.last().first().value<ControlId>(), ControlId::Text11);
    }

    void gridBoxesWipeThenDrawWhatIsStillTicked() {
        m_model.setValue(ControlId::Check2, 0);
        m_chart.Check2Click();
        const QList<Primitive> &drawn = m_plot.primitives();
        QCOMPARE(drawn[0].colour, m_plot.backColour()); // mode 0 first
        QCOMPARE(drawn[0].y1, 350.0);
        QCOMPARE(drawn[7 + 14 + 2].x1, 400.0); // then the vertical set alone
        m_plot.forget();
        m_model.setValue(ControlId::Check3, 0);
        m_chart.Check3Click();
        QCOMPARE(count(m_plot, Kind::Line), 7 + 14 + 2); // the wipe and its axes, nothing more
        m_plot.forget();
        m_chart.clicked(ControlId::Command1);
        QCOMPARE(count(m_plot, Kind::Line), 2); // no grid, no axes: only the curve
    }

    void repaintsRestoreWhatTheBoxesShow() {
        m_model.setText(ControlId::Label18, "42 %");
        m_wedge.requestRepaint();
        QCOMPARE(m_model.text(ControlId::Label18), "0 %");
        QCOMPARE(m_model.control(ControlId::Label18).foreColour, (core::Rgb{255, 0, 0}));
        QCOMPARE(m_wedge.primitives().size(), 55);
        m_frame.requestRepaint();
        QCOMPARE(count(m_frame, Kind::Line), 9 + 61);
        QCOMPARE(count(m_frame, Kind::Text), 9 + 16);
        m_plot.requestRepaint();
        QCOMPARE(m_plot.primitives().first().kind, Kind::Clear);
        QCOMPARE(m_plot.primitives().last().widthPixels, 2);
    }
};

QTEST_GUILESS_MAIN(TestChartHandlers)
#include "tst_chart_handlers.moc"
