#include "window_handlers.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using chart::Primitive;
using Kind = chart::Primitive::Kind;
using window::ControlId;

class TestChartHandlers : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<WindowHandlers> m_w;

  private slots:
    void init() {
        m_w = std::make_unique<WindowHandlers>(m_dir.path());
        m_w->startUp.load(); // the colour choosers, both grid boxes ticked, the start labels
        for (const float value : {10, 20, 30}) {
            m_w->chart.storeReading(value);
            m_w->chart.advanceTrend();
        }
        for (chart::RecordingSurface *s :
             {&m_w->boxes.plot, &m_w->boxes.frame, &m_w->boxes.wedge, &m_w->boxes.bar})
            s->forget();
    }

    void colourChoosersRepaintAndGiveTheFocusAway() {
        QSignalSpy focus(&m_w->model, &window::WindowModel::focusRequested);
        m_w->model.setValue(ControlId::backgroundColour, 14); // Teal
        m_w->chart.clicked(ControlId::backgroundColour);
        QCOMPARE(m_w->boxes.plot.primitives().first(),
                 (Primitive{Kind::Clear, {16, 139, 129}, 0, 0, 0, 0, 0, 0, {}}));
        QCOMPARE(m_w->boxes.plot.primitives()[1].colour, (core::Rgb{0, 128, 128}));
        QCOMPARE(m_w->boxes.plot.primitives().last().widthPixels, 2); // and the curve over it
        m_w->boxes.plot.forget();
        m_w->model.setValue(ControlId::lineColour, 12); // Red
        m_w->chart.clicked(ControlId::lineColour);
        QVERIFY(m_w->boxes.plot.primitives().isEmpty());
        QCOMPARE(m_w->boxes.plot.foreColour(), (core::Rgb{255, 0, 0}));
        QCOMPARE(focus.size(), 2);
        QCOMPARE(focus.last().first().value<ControlId>(), ControlId::clock);
    }

    void gridBoxesWipeThenDrawWhatIsStillTicked() {
        m_w->model.setValue(ControlId::xGrid, 0);
        m_w->chart.onXGridToggled();
        const QList<Primitive> &drawn = m_w->boxes.plot.primitives();
        QCOMPARE(drawn[0].colour, m_w->boxes.plot.backColour()); // mode 0 first
        QCOMPARE(drawn[0].y1, 350.0);
        QCOMPARE(drawn[7 + 14 + 2].x1, 400.0); // then the vertical set alone
        m_w->boxes.plot.forget();
        m_w->model.setValue(ControlId::yGrid, 0);
        m_w->chart.onYGridToggled();
        QCOMPARE(m_w->boxes.plot.primitives(Kind::Line).size(),
                 7 + 14 + 2); // the wipe and its axes, nothing more
        m_w->boxes.plot.forget();
        m_w->chart.clicked(ControlId::autoGraph);
        QCOMPARE(m_w->boxes.plot.primitives(Kind::Line).size(),
                 2); // no grid, no axes: only the curve
    }

    void repaintsRestoreWhatTheBoxesShow() {
        m_w->model.setText(ControlId::gaugeValue, "42 %");
        m_w->boxes.wedge.requestRepaint();
        QCOMPARE(m_w->model.text(ControlId::gaugeValue), "0 %");
        QCOMPARE(m_w->model.control(ControlId::gaugeValue).foreColour, (core::Rgb{255, 0, 0}));
        QCOMPARE(m_w->boxes.wedge.primitives().size(), 55);
        m_w->boxes.frame.requestRepaint();
        QCOMPARE(m_w->boxes.frame.primitives(Kind::Line).size(), 9 + 61);
        QCOMPARE(m_w->boxes.frame.primitives(Kind::Text).size(), 9 + 16);
        m_w->boxes.plot.requestRepaint();
        QCOMPARE(m_w->boxes.plot.primitives().first().kind, Kind::Clear);
        QCOMPARE(m_w->boxes.plot.primitives().last().widthPixels, 2);
    }
};

QTEST_GUILESS_MAIN(TestChartHandlers)
#include "tst_chart_handlers.moc"
