#include "core/colour_table.h"

#include <QTest>

class TestColourTable : public QObject {
    Q_OBJECT

  private slots:
    void looksUpExactNamesOnly();
};

void TestColourTable::looksUpExactNamesOnly() {
    QCOMPARE(core::colourByName(u"Cray"), (core::Rgb{124, 124, 123}));
    QCOMPARE(core::colourByName(u"Yellow"), (core::Rgb{255, 255, 0}));
    // Start-up selects items 2 and 15 of the choosers: black background, white line.
    QCOMPARE(core::kColourTable[1].name, "Black");
    QCOMPARE(core::kColourTable[1].rgb, (core::Rgb{0, 0, 0}));
    QCOMPARE(core::kColourTable[14].name, "White");
    QCOMPARE(core::kColourTable[14].rgb, (core::Rgb{255, 255, 255}));

    for (const char16_t *name : {u"aqua", u"Gray", u"White ", u""})
        QCOMPARE(core::colourByName(name), std::nullopt);
}

QTEST_GUILESS_MAIN(TestColourTable)
#include "tst_colour_table.moc"
