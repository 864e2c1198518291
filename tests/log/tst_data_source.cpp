#include "log/connection.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/record_grid_model.h"
#include "sqlite_cli.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using logbook::DataSource;
using logbook::RecordGridModel;

class TestDataSource : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString newLog(int records) {
        const QString path = createdLog(m_dir.filePath(QStringLiteral("log%1.mdb").arg(++m_files)));
        if (records > 0)
            fillLog(path, 0, records - 1);
        return path;
    }

    static void bind(DataSource &source, const QString &path) {
        source.setDatabaseName(path);
        source.setRecordSource(logbook::kRecordSource);
    }

    static QStringList row(const RecordGridModel &model, int row) {
        QStringList texts;
        for (int column = 0; column < model.columnCount(); ++column)
            texts.append(model.data(model.index(row, column)).toString());
        return texts;
    }

  private slots:
    void refreshFailsOnFilesThatAreNotLogs_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("schema");
        QTest::newRow("text file") << QByteArray("this is not a log\n").repeated(100) << QString();
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a') << QString();
        QTest::newRow("database without b1") << QByteArray() << "CREATE TABLE b2 (AAA INTEGER)";
        QTest::newRow("b1 without EEE") << QByteArray() << "CREATE TABLE b1 (AAA, BBB, CCC, DDD)";
    }
    void refreshFailsOnFilesThatAreNotLogs() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, schema);
        const QString path = m_dir.filePath(QStringLiteral("foreign%1.710").arg(++m_files));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        if (!schema.isEmpty())
            sqlite3(path, schema);

        DataSource source;
        bind(source, newLog(3));
        QVERIFY(source.refresh());
        QCOMPARE(source.recordCount(), 3);
        bind(source, path);
        QVERIFY(!source.refresh());
        QCOMPARE(source.error().file, path);
        QVERIFY(source.isEmpty());
        QCOMPARE(source.currentRow(), -1);
    }

    void countsAndMovesOverTheWholeResult() {
        DataSource source;
        bind(source, newLog(1000));
        sqlite3(source.databaseName(), QStringLiteral("DELETE FROM b1 WHERE AAA % 100 = 7"));
        QVERIFY(source.refresh());
        QVERIFY(!source.isEmpty());
        QCOMPARE(source.recordCount(), 990);
        QCOMPARE(source.currentRow(), 0);
        source.moveNext(989);
        QCOMPARE(source.currentNo(), 999);
        source.moveFirst();
        source.moveNext(500);
        QCOMPARE(source.currentNo(), 505);
        source.moveNext(490);
        QCOMPARE(source.currentRow(), -1);
    }

    void appendedRefreshMatchesFullRefresh() {
        const QString path = newLog(100);
        DataSource source;
        bind(source, path);
        QVERIFY(source.refresh());
        RecordGridModel model(source);
        QCOMPARE(row(model, 99).first(), "99");
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        fillLog(path, 100, 102);
        QVERIFY(source.refreshAppended());
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 100);
        QCOMPARE(inserted.first().at(2).toInt(), 102);
        QCOMPARE(model.rowCount(), 103);
        QCOMPARE(row(model, 102).first(), "102");
        QCOMPARE(reset.count(), 0);

        // Emptied and written again behind the data source's back: no longer an append.
        sqlite3(path, QStringLiteral("DELETE FROM b1"));
        fillLog(path, 0, 4);
        QVERIFY(source.refreshAppended());
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(row(model, 4).first(), "4");
        QCOMPARE(source.currentRow(), 0);
    }

    void gridShowsCaptionedColumnsAndFollowsCurrentRecord() {
        DataSource source;
        bind(source, newLog(0));
        RecordGridModel model(source);
        logbook::setLogGridColumns(model);
        QVERIFY(source.refresh());
        QCOMPARE(model.columnCount(), 5);
        QStringList captions;
        QList<int> widths;
        for (int i = 0; i < 5; ++i) {
            captions.append(model.headerData(i, Qt::Horizontal).toString());
            widths.append(
                model.headerData(i, Qt::Horizontal, RecordGridModel::WidthTwipsRole).toInt());
        }
        QCOMPARE(captions, QStringList({"NO", "FUN", "DATA", "UNIT", "TIME"}));
        QCOMPARE(widths, QList<int>({550, 600, 800, 700, 900}));

        bind(source, newLog(300));
        QVERIFY(source.refresh());
        QCOMPARE(row(model, 257),
                 QStringList({"257", "Sound", "73.4", "dB", "14:03:27/12-04-2026"}));
        QSignalSpy current(&model, &RecordGridModel::currentRowChanged);
        source.moveNext(280);
        QCOMPARE(model.currentRow(), 280);
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.first().first().toInt(), 280);
    }

    // The grid reads while the receive pipeline writes several times a second: a read must
    // never leave a lock behind that makes the writer wait.
    void gridReadsNeverBlockWriters() {
        const QString path = newLog(500);
        DataSource source;
        bind(source, path);
        QVERIFY(source.refresh());
        RecordGridModel model(source);
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(row(model, i * 25).first(), QString::number(i * 25));
            logbook::Connection writer(0);
            QVERIFY(writer.open(path));
            QVERIFY2(writer.execute(logbook::insertStatement(500 + i, "Light", "40", "LUX", "t")),
                     qPrintable(writer.error().reason));
            writer.close();
            QVERIFY(source.refreshAppended());
        }
        QCOMPARE(model.rowCount(), 520);
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_data_source.moc"
