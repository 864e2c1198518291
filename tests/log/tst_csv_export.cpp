#include "log/csv_export.h"
#include "sqlite_cli.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using logbook::CsvExportResult;

// The export of a real log, read back by an independent CSV reader (Python's csv module).
class TestCsvExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_log;

    /// The CSV's rows as Python's csv module reads them, one "|"-joined line each, a line break
    /// in a field written as \n.
    static QStringList readBack(const QString &csv) {
        QProcess python;
        python.start("python3",
                     {"-c",
                      "import csv, sys\n"
                      "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                      "    for row in csv.reader(f): print('|'.join(row).replace('\\n', '\\\\n'))",
                      csv});
        python.waitForFinished();
        return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

  private slots:
    void initTestCase() {
        m_log = createdLog(m_dir.filePath("db1.mdb"));
        fillLog(m_log, 0, 9999);
        sqlite3(m_log, "INSERT INTO b1 VALUES(10000,'Light','OL.','LUX','1,2 \"x\"',-10000);"
                       "INSERT INTO b1 VALUES(10001,'Temp','-1.5','°C','two\nlines',-10001)");
    }

    void writesEveryRecordAsAReaderReadsIt() {
        const QString csv = m_dir.filePath("out.csv");
        qint64 lastDone = 0;
        const CsvExportResult result =
            logbook::exportCsv(m_log, csv, [&](qint64 done, qint64 total) {
                lastDone = done;
                return total == 10002;
            });
        QCOMPARE(result.kind, CsvExportResult::Kind::Written);
        QCOMPARE(result.records, 10002);
        QVERIFY(lastDone > 0);
        const QStringList rows = readBack(csv);
        QCOMPARE(rows.size(), 10003);
        QCOMPARE(rows[0], "NO|FUN|DATA|UNIT|TIME|ISO_TIME");
        QCOMPARE(rows[1], "0|Sound|73.4|dB|14:03:27/12-04-2026|2026-12-04T14:03:27");
        QCOMPARE(rows[10001], "10000|Light|OL.|LUX|1,2 \"x\"|");
        QCOMPARE(rows[10002], "10001|Temp|-1.5|°C|two\\nlines|");
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readLine().endsWith("ISO_TIME\r\n"));
    }

    void cancelledOrFailedLeavesNothing() {
        const QString csv = m_dir.filePath("cancelled.csv");
        const CsvExportResult cancelled =
            logbook::exportCsv(m_log, csv, [](qint64, qint64) { return false; });
        QCOMPARE(cancelled.kind, CsvExportResult::Kind::Cancelled);
        const CsvExportResult notWritable =
            logbook::exportCsv(m_log, m_dir.filePath("no/such/folder/x.csv"), {});
        QCOMPARE(notWritable.kind, CsvExportResult::Kind::Failed);
        QVERIFY(!notWritable.reason.isEmpty());
        QCOMPARE(QDir(m_dir.path()).entryList({"cancelled.csv*"}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csv_export.moc"
