#include "core/number_text.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT

  private slots:
    // Both rules on the same texts: the leading number, and the number as a whole.
    void readsLeadingNumber_data();
    void readsLeadingNumber();
    void writesGeneralText_data();
    void writesGeneralText();
    void ignoresTheUsersLocale();
};

void TestNumberText::readsLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("strict"); // NaN: not a number as a whole

    const double inf = std::numeric_limits<double>::infinity();
    const double none = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<const char *, double, double> rows[] = {
        {"73.40", 73.4, 73.4},
        {" -3 ", -3, -3},
        {"12abc", 12, none},
        {" 1 2\t3\n", 123, none},
        {"- 4.5", -4.5, none},
        {"1.2.3", 1.2, none},
        {".5", 0.5, 0.5},
        {"2.5e+2", 250, 250},
        {"1 E-2", 0.01, none},
        {"7e", 7, none},
        {"7e-x", 7, none},
        {"\r5", 0, none},
        {"O.L", 0, none},
        {"OL.", 0, none},
        {"+-5", 0, none},
        {"", 0, none},
        {"1e999", inf, none},
        {"1000e-330", 0, 0},
        {"0e99999999999999999999", 0, 0},
    };
    for (const auto &[text, value, strict] : rows)
        QTest::newRow(text) << QString::fromLatin1(text) << value << strict;
}

void TestNumberText::readsLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(double, strict);
    QCOMPARE(core::leadingNumber(text), value);
    QCOMPARE(core::strictNumber(text).value_or(std::nan("")), strict);
}

void TestNumberText::writesGeneralText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("text");

    const std::pair<float, const char *> singles[] = {
        {73.4f, "73.4"},
        {130.0f, "130"},
        {11.875f, "11.875"},
        {-0.0f, "0"},
        {1.23456789f, "1.234568"},
        {99.999999f, "100"},
        {0.0001f, "0.0001"},
        {0.00001f, "1E-05"},
        {12345678.0f, "1.234568E+07"},
        {std::numeric_limits<float>::infinity(), "inf"},
    };
    for (const auto &[value, text] : singles)
        QTest::addRow("single %s", text) << double(value) << true << QString::fromLatin1(text);

    const std::pair<double, const char *> doubles[] = {
        {std::pow(10.0, 3) * 0.04, "40"}, {1.0 / 3, "0.333333333333333"}, {1e15, "1E+15"}};
    for (const auto &[value, text] : doubles)
        QTest::addRow("double %s", text) << value << false << QString::fromLatin1(text);
}

void TestNumberText::writesGeneralText() {
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QString, text);
    QCOMPARE(single ? core::singleText(float(value)) : core::doubleText(value), text);
}

void TestNumberText::ignoresTheUsersLocale() {
    // A German user writes 73,4; the log and the scale boxes still use "." both ways.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool cLocaleSet = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    QCOMPARE(core::singleText(73.4f), "73.4");
    QCOMPARE(core::doubleText(1234.5), "1234.5");
    QCOMPARE(core::leadingNumber(u"73.4"), 73.4);
    QCOMPARE(core::leadingNumber(u"73,4"), 73.0);
    if (cLocaleSet)
        std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
