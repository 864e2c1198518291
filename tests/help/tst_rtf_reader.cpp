#include "help/rtf_reader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QTextCharFormat formatAt(QTextDocument &document, const QString &word) {
    QTextCursor cursor = document.find(word);
    return cursor.charFormat();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

  private slots:
    void readsTextOfWhatWordProcessorsWrite_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("paragraphs, tables skipped")
            << QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Times;}}"
                          "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator Writer 7;}"
                          "{\\info{\\title Help}}\\pard First\\par Second\\par}")
            << "First\nSecond\n";
        QTest::newRow("escapes and special characters")
            << QByteArray("{\\rtf1 a\\{b\\}c\\\\d\\~e\\tab f\\line g\\emdash h\\'e9\\'80}")
            << QString::fromUtf8("a{b}c\\d\u00a0e\tf\u2028g\u2014h\u00e9\u20ac");
        QTest::newRow("unicode with fallbacks")
            << QByteArray("{\\rtf1 \\u8364?x\\uc2\\u-3913\\'3f\\'3fy{\\uc0\\u937 z}}")
            << QString::fromUtf8("\u20acx\uf0b7y\u03a9z");
        QTest::newRow("pictures, objects, fields, unknown destinations")
            << QByteArray(
                   "{\\rtf1 A{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict 00}}"
                   "B{\\object{\\*\\objdata 0102}}{\\*\\unknownthing hidden}{\\field{\\*\\fldinst "
                   "HYPERLINK x}{\\fldrslt C}}\\bin3 }{}D\\newword99 E}")
            << "ABCDE";
        QTest::newRow("broken") << QByteArray(
                                       "{\\rtf1 x}}}} {\\b y\\'4 \\'zz\\u99999999999999999 \\")
                                << "x y4 zz";
    }
    void readsTextOfWhatWordProcessorsWrite() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        help::readRtf(rtf, document);
        QCOMPARE(document.toRawText().replace(QChar::ParagraphSeparator, u'\n'), text);
    }

    void keepsCharacterAndParagraphFormats() {
        QTextDocument document;
        help::readRtf("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
                      "\\pard\\qc\\fs36\\b Title\\b0\\par\\pard\\plain Plain {\\i slanted} "
                      "\\ul under\\ulnone  {\\cf2 green}\\par}",
                      document);
        QCOMPARE(document.begin().blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(document.begin().next().blockFormat().alignment(), Qt::AlignLeft);
        const QTextCharFormat title = formatAt(document, "Title");
        QCOMPARE(title.fontWeight(), int(QFont::Bold));
        QCOMPARE(title.fontPointSize(), 18.0);
        QCOMPARE(formatAt(document, "Plain").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt(document, "Plain").fontPointSize(), 12.0);
        QVERIFY(formatAt(document, "slanted").fontItalic());
        QVERIFY(!formatAt(document, "Plain").fontItalic());
        QVERIFY(formatAt(document, "under").fontUnderline());
        QCOMPARE(formatAt(document, "green").foreground().color(), QColor(0, 128, 0));
    }

    void survivesDeepNesting() {
        QTextDocument document;
        help::readRtf(QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + "after",
                      document);
        QCOMPARE(document.toPlainText(), "deepafter");
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtf_reader.moc"
