#include "meter/frame_decoder.h"
#include "scenario_script.h"

#include <QTest>

namespace {

/// What the program would make of a step: "repeat× value unit annunciators".
QString described(const metersim::ScriptStep &step) {
    const auto frame = meter::findFrame(step.bytes, step.bytes.size());
    if (!frame)
        return QStringLiteral("no frame");
    const meter::Reading r = meter::decodeFrame(*frame);
    QString text = QStringLiteral("%1x %2 %3").arg(step.repeat).arg(r.ValueText, r.Unit);
    const std::pair<bool, const char *> flags[] = {{r.Rs232, "RS232"},
                                                   {r.Hold, "HOLD"},
                                                   {r.X10, "X10"},
                                                   {r.LowBattery, "LOBAT"},
                                                   {r.PointBefore4 && r.PointBefore3, "2POINTS"},
                                                   {r.LightOverload, "L"}};
    for (const auto &[on, name] : flags)
        text += on ? QStringLiteral(" ") + QLatin1String(name) : QString();
    return text;
}

} // namespace

class TestScenarioScript : public QObject {
    Q_OBJECT

  private slots:
    void readsReadingsAndRawBytes();
    void reportsTheFirstBadLine_data();
    void reportsTheFirstBadLine();
};

void TestScenarioScript::readsReadingsAndRawBytes() {
    const metersim::Script script = metersim::parseScript(u"# a quiet room\n"
                                                          "73.40 dB RS232\n"
                                                          "\n"
                                                          "  _23.5 c *20   # warm\n"
                                                          "-1.5 C HOLD LOBAT\n"
                                                          "O.L_ LUX X10\n"
                                                          "12.3.4 %RH C\n"
                                                          "raw 11 21 ff\n");
    QCOMPARE(script.error, QString());
    QStringList steps;
    for (const metersim::ScriptStep &step : script.steps)
        steps.append(described(step));
    QCOMPARE(steps, QStringList({"1x 73.40 dB RS232", "20x 23.5 C", "1x -1.5 C HOLD LOBAT",
                                 "1x 0. LUX X10 L", "1x 12.34 C 2POINTS", "no frame"}));
    QCOMPARE(script.steps.back().bytes, QByteArray("\x11\x21\xff", 3));
}

void TestScenarioScript::reportsTheFirstBadLine_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");

    QTest::newRow("five cells") << "# ok\n12345 dB\n"
                                << "line 2: a display has 1 to 4 cells, '12345' has 5";
    QTest::newRow("point after the last cell")
        << "12. dB"
        << "line 1: '12.': a point can only stand before cell 3 or cell 4";
    QTest::newRow("unknown word") << "10 dBA"
                                  << "line 1: 'dBA' is not a function or annunciator";
    QTest::newRow("bad byte") << "raw 11 1FF"
                              << "line 1: '1FF' is not a byte in hexadecimal";
}

void TestScenarioScript::reportsTheFirstBadLine() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    const metersim::Script script = metersim::parseScript(text);
    QCOMPARE(script.error, error);
    QVERIFY(script.steps.empty());
}

QTEST_GUILESS_MAIN(TestScenarioScript)
#include "tst_scenario_script.moc"
