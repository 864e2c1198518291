#include "core/rounding.h"

#include <QTest>

#include <limits>

class TestRounding : public QObject {
    Q_OBJECT

  private slots:
    void roundsHalvesToEven();
};

void TestRounding::roundsHalvesToEven() {
    const std::pair<double, int> rows[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-2.5, -2},
        {2.5000001, 3},
        {0.49999999999999994, 0}, // floor(x + 0.5) gives 1
        {35 / 10.0, 4},
        {1e20, std::numeric_limits<int>::max()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto &[value, rounded] : rows) {
        QCOMPARE(core::roundHalfEvenToInt(value), rounded);
        if (std::abs(value) < 1e9)
            QCOMPARE(core::roundHalfEven(value), double(rounded));
    }
}

QTEST_GUILESS_MAIN(TestRounding)
#include "tst_rounding.moc"
