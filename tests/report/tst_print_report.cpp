#include "../log/sqlite_cli.h"
#include "live_log.h"
#include "recording_printer.h"
#include "report/print_report.h"
#include "report/report_layout.h"
#include "views/adapters/qt_printer.h"
#include "window/window_model.h"

#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using report::PrintedMark;
using Kind = report::PrintedMark::Kind;
using window::ControlId;

// The report on the recording printer and on the real one (PDF, and a CUPS queue where the
// machine has one), from real SQLite logs.
class TestPrintReport : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    window::WindowModel m_model;
    std::unique_ptr<LiveLog> m_live;
    std::unique_ptr<report::PrintReportCommand> m_command;
    report::RecordingPrinter m_printer;

    /// A log of records numbered from `firstNo`, the grid on the record numbered `gridNo`.
    void openLog(int records, int gridNo, int firstNo = 0) {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString path = createdLog(m_dir->filePath("db1.mdb"));
        if (records > 0)
            fillLog(path, firstNo, firstNo + records - 1);
        m_live = std::make_unique<LiveLog>(m_dir->path());
        m_live->gridSource.moveNext(gridNo - firstNo);
        m_model.setText(ControlId::lineState, "OFFLine");
        m_model.setText(ControlId::vertMax, "400.0");
        m_model.setText(ControlId::vertMin, "-400.0");
        m_printer = {};
        m_command = std::make_unique<report::PrintReportCommand>(
            m_live->log, m_model, m_live->gridSource, m_live->messages);
    }
    QList<PrintedMark> marks(Kind kind) const {
        QList<PrintedMark> found;
        for (const PrintedMark &mark : m_printer.marks())
            if (mark.kind == kind)
                found.append(mark);
        return found;
    }
    /// The graph's curve: its lines of width 2 that are no tick.
    static QList<PrintedMark> curveOf(const QList<PrintedMark> &lines) {
        QList<PrintedMark> curve;
        for (const PrintedMark &line : lines)
            if (line.widthDots == 2 && line.x1 >= 2000 && line.y1 != 9100)
                curve.append(line);
        return curve;
    }
    /// The list's rows as "NO FUN DATA UNIT TIME", page by page.
    QList<QStringList> listPages() const {
        QList<QStringList> pages{{}};
        QStringList row;
        for (const PrintedMark &mark : m_printer.marks()) {
            if (mark.kind == Kind::EndDoc) {
                pages.append(QStringList());
            } else if (mark.kind == Kind::Text && mark.y1 >= 2100) {
                row.append(mark.text);
                if (row.size() == 5) {
                    pages.last().append(row.join('|'));
                    row.clear();
                }
            }
        }
        pages.removeLast();
        return pages;
    }

    struct Word {
        QString text;
        double x = 0; ///< points from the page's left edge
        double y = 0; ///< points from the page's top edge
    };
    /// The words of a PDF, page by page, as poppler's pdftotext finds them.
    static QList<QList<Word>> wordsOf(const QString &pdf) {
        QProcess tool;
        tool.start("pdftotext", {"-bbox", pdf, "-"});
        tool.waitForFinished();
        QList<QList<Word>> pages;
        static const QRegularExpression tag(QStringLiteral(
            R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
        for (const QRegularExpressionMatch &m :
             tag.globalMatch(QString::fromUtf8(tool.readAll()))) {
            if (m.captured(3).isEmpty() && m.captured(1).isEmpty())
                pages.append(QList<Word>());
            else if (!pages.isEmpty())
                pages.last().append(
                    {m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
        }
        // In reading order: line by line, each from the left.
        for (QList<Word> &page : pages)
            std::sort(page.begin(), page.end(), [](const Word &a, const Word &b) {
                return qRound(a.y) != qRound(b.y) ? a.y < b.y : a.x < b.x;
            });
        return pages;
    }

    /// Whether a word lies at (x, y) twips on the printable page, whose corner is found from
    /// the title's place (3000, 800).
    static bool placedAsLaidOut(const Word &word, const Word &title, double x, double y) {
        return qAbs(word.x - (title.x + (x - 3000) / 20)) < 2 &&
               qAbs(word.y - (title.y + (y - 800) / 20)) < 3;
    }

  private slots:
    void initTestCase() {
        for (int i = 0; i < 9; ++i)
            m_model.fields.valueLabels[i] = QString::number(400 - 100 * i) + ".0";
        for (int i = 0; i < 16; ++i)
            m_model.fields.timeLabels[i] = QString::number(20 * i);
    }

    void listsTheSliceEndingAtTheGridsRecord_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("firstNo");
        QTest::addColumn<int>("gridNo");
        QTest::addColumn<QList<int>>("printed");
        QTest::newRow("grid on NO 0: the whole log, newest first")
            << 5 << 0 << 0 << QList<int>{4, 3, 2, 1, 0};
        QTest::newRow("grid on NO 3") << 10 << 0 << 3 << QList<int>{6, 5, 4, 3, 2, 1, 0};
        QTest::newRow("grid on NO 9") << 10 << 0 << 9 << QList<int>{0};
        QTest::newRow("NO beyond the count") << 10 << 50 << 55 << QList<int>{};
    }
    void listsTheSliceEndingAtTheGridsRecord() {
        QFETCH(int, records);
        QFETCH(int, firstNo);
        QFETCH(int, gridNo);
        QFETCH(QList<int>, printed);
        openLog(records, gridNo, firstNo);
        m_live->messages.answer({true, true});
        m_command->print(m_printer);
        QCOMPARE(m_live->messages.asked(),
                 QStringList({"Information: List?", "Information: Continue?"}));
        QStringList expected;
        for (int no : printed)
            expected.append(report::printStyle(no) + "|Sound|73.4|dB|14:03:27");
        QCOMPARE(listPages(), QList<QStringList>{expected});
        QCOMPARE(m_model.fields.logRecordCount, records);
        QCOMPARE(m_model.text(ControlId::functionName), "Sound");
        QCOMPARE(m_model.text(ControlId::unit), "dB");
        const QList<PrintedMark> texts = marks(Kind::Text);
        QCOMPARE(texts[0], (PrintedMark{Kind::Text, 3000, 800, 0, 0, 0, "Arial 24 bold",
                                        "Vadarazozaz Uvovir Report", 9}));
        QCOMPARE(
            marks(Kind::Line),
            QList<PrintedMark>{(PrintedMark{Kind::Line, 2300, 2000, 9180, 2000, 3, {}, {}, 9})});
        if (!printed.isEmpty()) {
            QCOMPARE(texts[6].font, "Courier 18 bold");
            QCOMPARE(texts[10].x1, 8300.0);
            QCOMPARE(texts.last().y1, 2100.0 + 450 * (printed.size() - 1));
        }
    }

    void runsOnAcrossPagesUntilNo() {
        openLog(350, 0);
        m_live->messages.answer({true});
        for (int page = 0; page < 11; ++page)
            m_live->messages.answer({true});
        m_command->print(m_printer);
        const QList<QStringList> pages = listPages();
        QCOMPARE(pages.size(), 11);
        QCOMPARE(pages[0].size(), 28);
        QCOMPARE(pages[10].size(), 20);
        QVERIFY(pages[1][0].startsWith(" 321 |"));
        QVERIFY(pages[10].last().startsWith(" 50 |"));
        QCOMPARE(m_live->messages.asked().count("Information: Continue?"), 11);
        openLog(350, 0);
        m_live->messages.answer({true, false});
        m_command->print(m_printer);
        QCOMPARE(listPages().size(), 1);
    }

    void drawsTheGraphPage() {
        openLog(14, 0);
        sqlite3(m_dir->filePath("db1.mdb"), "UPDATE b1 SET CCC = 'O.L' WHERE AAA = 12;"
                                            "UPDATE b1 SET CCC = 'OL.' WHERE AAA = 11");
        m_live->messages.answer({false, true});
        m_command->print(m_printer);
        QCOMPARE(m_live->messages.asked(),
                 QStringList({"Information: List?", "Information: Grath?"}));
        QCOMPARE(m_model.fields.historyArrays[1].data, "4000");
        QList<PrintedMark> dashes;
        for (const PrintedMark &line : marks(Kind::Line))
            if (line.widthDots == 1)
                dashes.append(line);
        const QList<PrintedMark> curve = curveOf(marks(Kind::Line));
        // One pen for every dash: off at first, its phase carried from row to row and on
        // into the columns (141 steps a row, 109 a column).
        const auto dash = [](double x1, double y1, double x2, double y2) {
            return PrintedMark{Kind::Line, x1, y1, x2, y2, 1, {}, {}, 9};
        };
        QCOMPARE(dashes[0], dash(2060, 2600, 2120, 2600));
        QCOMPARE(dashes[70], dash(2000, 3410, 2060, 3410));
        QCOMPARE(dashes.size(), 4 * 70 + 4 * 71 + 8 * 54 + 7 * 55);
        QCOMPARE(dashes[564], dash(2560, 2660, 2560, 2720));
        QCOMPARE(dashes[564 + 54], dash(3120, 2600, 3120, 2660));
        // 13 segments, newest at the left; "O.L" kept as 4000 and "OL." on the top line.
        QCOMPARE(curve.size(), 13);
        QCOMPARE(curve[0].x1, 2000.0);
        QCOMPARE(curve[0].y2, 2600.0);
        QCOMPARE(curve[1].y2, 2600.0);
        QVERIFY(qAbs(curve[2].y2 - (2600 + 6500 - (73.4 + 400) * double(float(6500.0 / 800)))) <
                1e-3);
        const QList<PrintedMark> texts = marks(Kind::Text);
        QCOMPARE(texts[1],
                 (PrintedMark{Kind::Text, 1100, 2500, 0, 0, 0, "Courier 14 bold", "400.0", 9}));
        QCOMPARE(texts.last(), (PrintedMark{Kind::Text, 1500, 12000, 0, 0, 0, "Courier 18 bold",
                                            "FUNCTION:Sound              UNIT:dB", 9}));
        QCOMPARE(marks(Kind::EndDoc).size(), 1);

        m_printer = {};
        m_model.setText(ControlId::vertMin, "400.0");
        m_live->messages.answer({false, true});
        m_command->print(m_printer);
        QVERIFY(curveOf(marks(Kind::Line)).isEmpty());
    }

    // No printer: every page of a command goes into one new PDF beside the program, read back
    // here with an independent tool, word by word with its place on the page.
    void writesAPdfWhenThereIsNoPrinter() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer");
        openLog(30, 0);
        const QDateTime now(QDate(2026, 12, 6), QTime(14, 3, 27));
        for (const char *name :
             {"report-2026-12-06-140327.pdf", "report-2026-12-06-140327-2.pdf"}) {
            m_live->messages.clear();
            m_live->messages.answer({true, true, false}); // two pages, then No
            views::QtPrinter printer(m_dir->path(), now);
            m_command->print(printer);
            const QString pdf = m_dir->filePath(name);
            QCOMPARE(m_live->messages.shown(),
                     QStringList{"There is no printer: the report has been written to " +
                                 QDir::toNativeSeparators(pdf) + "."});
        }
        const QList<QList<Word>> pages = wordsOf(m_dir->filePath("report-2026-12-06-140327.pdf"));
        QCOMPARE(pages.size(), 2);
        QStringList first;
        for (int i = 0; i < 13; ++i)
            first.append(pages[0][i].text);
        QCOMPARE(first.join(' '), "Vadarazozaz Uvovir Report NO FUN DATA UNIT TIME 29 Sound "
                                  "73.4 dB 14:03:27");
        QCOMPARE(pages[1][8].text, "1"); // the second page goes on at the 29th record
        QVERIFY(placedAsLaidOut(pages[0][4], pages[0][0], 3800, 1600));  // FUN
        QVERIFY(placedAsLaidOut(pages[0][12], pages[0][0], 8300, 2100)); // the first row's time
        QVERIFY(placedAsLaidOut(pages[0].last(), pages[0][0], 8300, 2100 + 27 * 450));
    }

    // The real printer path: a CUPS queue that prints into PDF files, chosen as the default
    // printer as a user would (PRINTER); the job's PDF is read back.
    void printsOnTheDefaultPrinter() {
        const QByteArray queue = qgetenv("ENVMETER_TEST_PRINTER");
        if (queue.isEmpty())
            QSKIP("no CUPS queue printing into PDF files here (scripts/test sets one up where it "
                  "can print, and says why not)");
        qputenv("PRINTER", queue);
        const bool chosen = QPrinterInfo::defaultPrinter().printerName() == queue;
        openLog(3, 0);
        m_live->messages.answer({true, false});
        const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
        {
            views::QtPrinter printer(m_dir->path(), QDateTime::currentDateTime());
            m_command->print(printer);
        }
        qunsetenv("PRINTER");
        QVERIFY(chosen);
        QVERIFY(m_live->messages.shown().isEmpty());
        QVERIFY(QDir(m_dir->path()).entryList({"*.pdf"}).isEmpty());
        const QDir out(qEnvironmentVariable("ENVMETER_TEST_PRINTER_OUT"));
        const auto printedWords = [&] {
            for (const QFileInfo &pdf : out.entryInfoList({"*.pdf"}, QDir::Files, QDir::Time)) {
                if (pdf.lastModified() < started)
                    break;
                const QList<QList<Word>> pages = wordsOf(pdf.filePath());
                if (pages.size() == 1 && pages[0].size() == 3 + 5 + 3 * 5)
                    return pages[0];
            }
            return QList<Word>();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!printedWords().isEmpty(), 20000);
        // cups-pdf's Ghostscript re-encodes the fonts, so the words are checked by their places:
        // heads 1500 twips apart, each row's texts under their heads, rows 450 twips apart.
        const QList<Word> words = printedWords();
        for (int head = 4; head < 8; ++head)
            QVERIFY(qAbs(words[head].x - words[head - 1].x - 75) < 1);
        for (int cell = 9; cell < 13; ++cell)
            QVERIFY(qAbs(words[cell].x - words[cell - 5].x) < 1);
        QVERIFY(qAbs(words[13].y - words[8].y - 22.5) < 1);
    }

    void refusesWhileOnLineOrWithAnEmptyOrUnreadableLog() {
        for (const auto &[records, line] : {std::pair(5, "ONLine"), std::pair(0, "OFFLine")}) {
            openLog(records, 0);
            m_model.setText(ControlId::lineState, line);
            m_command->print(m_printer);
            QCOMPARE(m_live->messages.shown(), QStringList{"Please offline!"});
            QVERIFY(m_live->messages.asked().isEmpty() && m_printer.marks().isEmpty());
        }
        // A log that cannot be read is no empty log: said with its file and reason.
        openLog(5, 0);
        sqlite3(m_dir->filePath("db1.mdb"), "DROP TABLE b1");
        m_live->gridSource.refresh();
        m_command->print(m_printer);
        QCOMPARE(m_live->messages.shown().size(), 1);
        QVERIFY(m_live->messages.shown()[0].startsWith(
            "Nothing was printed: the log file " +
            QDir::toNativeSeparators(m_live->gridSource.databaseName())));
        QVERIFY(m_live->messages.asked().isEmpty() && m_printer.marks().isEmpty());
    }
};

QTEST_MAIN(TestPrintReport)
#include "tst_print_report.moc"
