#include "../log/sqlite_cli.h"
#include "window_handlers.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using chart::Primitive;
using window::ControlId;

// The history slider and plot on the window model, over real SQLite logs.
class TestHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowHandlers> m_w;

    /// A log of `records` records of 73.4 dB, or of the given data texts first.
    void openLog(int records, const QStringList &data = {}) {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString path = createdLog(m_dir->filePath("db1.mdb"));
        for (int no = 0; no < data.size(); ++no)
            sqlite3(path, QStringLiteral("INSERT INTO b1 VALUES(%1,'Sound','%2','dB','t',%3)")
                              .arg(no)
                              .arg(data[no])
                              .arg(-no));
        if (records > data.size())
            fillLog(path, int(data.size()), records - 1);
        m_w = std::make_unique<WindowHandlers>(m_dir->path());
        m_w->startUp.load();
        m_w->startUp.activate();
        m_w->boxes.plot.forget();
    }
    void moveTo(int position) {
        m_w->model.setValue(ControlId::historySlider, position);
        m_w->slider.onThumbMoved();
    }
    /// The segments of the history curve: the plot's lines of width 2.
    QList<Primitive> curve() const {
        QList<Primitive> lines;
        for (const Primitive &p : m_w->boxes.plot.primitives())
            if (p.kind == Primitive::Kind::Line && p.widthPixels == 2)
                lines.append(p);
        return lines;
    }
    QString panel(int n) const { return m_w->model.panelText(n); }

  private slots:
    void walksBackFromTheChosenRecord_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("newest");
        QTest::addColumn<int>("oldest");
        QTest::newRow("1000 at 100") << 1000 << 100 << 300 << 899 << 600;
        QTest::newRow("50 at 10") << 50 << 10 << 40 << 39 << 0;
        QTest::newRow("20 at 5") << 20 << 5 << 15 << 14 << 0;
        QTest::newRow("20 at 18") << 20 << 18 << 2 << 1 << 0;
        QTest::newRow("20 at 19: one record") << 20 << 19 << 1 << 0 << 0;
    }
    void walksBackFromTheChosenRecord() {
        QFETCH(int, records);
        QFETCH(int, position);
        QFETCH(int, count);
        QFETCH(int, newest);
        QFETCH(int, oldest);
        openLog(records);
        QCOMPARE(m_w->model.control(ControlId::historySlider).maximum, records + 1);
        moveTo(position);
        QCOMPARE(m_w->model.control(ControlId::historySlider).maximum, records - 1);
        QCOMPARE(panel(8), QString::number(position));
        QCOMPARE(m_w->gridSource.currentRow(), newest);
        QVERIFY(m_w->model.fields.historyRequest);

        m_w->slider.onReleased();
        const window::WindowFields &f = m_w->model.fields;
        QCOMPARE(f.historyCount, count);
        QCOMPARE(f.historyArrays[0].no, newest);
        QCOMPARE(f.historyArrays[count - 1].no, oldest);
        QCOMPARE(f.historyArrays[0].time, "14:03:27/12-04-2026");
        QVERIFY(!f.historyRequest);
        const QList<Primitive> segments = curve();
        QCOMPARE(segments.size(), std::max(0, count - 1));
        QCOMPARE(f.historyShown, count >= 2);
        QCOMPARE(panel(4), count >= 2 ? "73.4" : "");
        if (count >= 2) {
            QCOMPARE(segments.first().x1, 0.0);
            QCOMPARE(segments.last().x2, (count - 1) * 6015.0 / 300);
        }
        QVERIFY(m_w->messages.shown().isEmpty());
    }

    void plotsValuesOverloadsAndTheirExtremes() {
        openLog(14, {"-3", "80", "12.5", "O.L", "OL", "abc", "5"});
        moveTo(11); // record 2 and the two before it
        m_w->slider.onReleased();
        QCOMPARE(panel(4), "-3");
        QCOMPARE(panel(6), "80");
        QCOMPARE(curve().size(), 2);

        moveTo(7); // record 6 back to record 0
        m_w->boxes.plot.forget();
        m_w->slider.onReleased();
        const window::WindowFields &f = m_w->model.fields;
        QCOMPARE(f.historyCount, 7);
        QCOMPARE(f.historyArrays[3].data, "400.0"); // O.L read as Vert Max
        // 5-abc and abc-OL are left out; OL and O.L both lie on the top edge.
        const QList<Primitive> segments = curve();
        QCOMPARE(segments.size(), 4);
        QCOMPARE(segments[0].x1, 2 * 6015.0 / 300);
        QVERIFY(qAbs(segments[0].y1) < 1e-3 && qAbs(segments[0].y2) < 1e-3);
        QCOMPARE(panel(6), "400");

        m_w->model.setText(ControlId::vertMax, "100");
        m_w->model.setText(ControlId::vertMin, "100");
        moveTo(8);
        m_w->boxes.plot.forget();
        m_w->slider.onReleased();
        QCOMPARE(m_w->boxes.plot.primitives().first().kind, Primitive::Kind::Clear);
        QVERIFY(curve().isEmpty());
        QCOMPARE(panel(4), "-3");
        QCOMPARE(panel(6), "100"); // O.L read as the Vert Max of now
    }

    void doesNothingOnLineOrWithFewerThan14Records() {
        for (const auto &[records, line] : {std::pair(20, "ONLine"), std::pair(13, "OFFLine")}) {
            openLog(records);
            m_w->model.setText(ControlId::lineState, line);
            moveTo(5);
            QCOMPARE(panel(8), "0");
            QCOMPARE(m_w->gridSource.currentRow(), 0);
            QVERIFY(!m_w->model.fields.historyRequest);
            m_w->slider.onReleased();
            QVERIFY(m_w->boxes.plot.primitives().isEmpty());
        }
    }

    void severalMovesBeforeOneReleaseGiveOnePlot() {
        openLog(20);
        for (int position : {3, 4, 5})
            moveTo(position);
        m_w->slider.onReleased();
        m_w->slider.onReleased();
        QCOMPARE(m_w->boxes.plot.primitives(Primitive::Kind::Clear).size(), 1);
        QCOMPARE(m_w->model.fields.historyArrays[0].no, 14);

        moveTo(0); // the first record, and no plot asked for
        QCOMPARE(m_w->gridSource.currentRow(), 0);
        QVERIFY(!m_w->model.fields.historyRequest);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
