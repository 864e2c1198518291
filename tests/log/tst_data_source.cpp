#include "log/connection.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/record_grid_model.h"
#include "sqlite_cli.h"

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

    // The log's writer tells the grid what it appended: the rows read so far are extended
    // without a read of the file, and show what a full read would.
    void appendedRowsMatchAFullRefresh() {
        const QString path = newLog(100);
        DataSource source;
        bind(source, path);
        QVERIFY(source.refresh());
        RecordGridModel model(source);
        QCOMPARE(row(model, 99).first(), "99"); // the rows from 64 on, read short
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        fillLog(path, 100, 199);
        QList<qint64> rowIds;
        QList<QVariantList> rows;
        for (const QString &line :
             sqlite3(path, "SELECT rowid, AAA, BBB, CCC, DDD, EEE FROM b1 WHERE AAA >= 100")
                 .split('\n')) {
            QVariantList values;
            for (const QString &field : line.split('|'))
                values.append(field);
            rowIds.append(values.takeFirst().toLongLong());
            rows.append(values);
        }
        QVERIFY(source.appendRows(rowIds, rows));
        QVERIFY(source.appendRows(rowIds.mid(90), rows.mid(90))); // known already
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.rowCount(), 200);
        DataSource full;
        bind(full, path);
        QVERIFY(full.refresh());
        RecordGridModel fullModel(full);
        for (int r = 60; r < 200; ++r)
            QCOMPARE(row(model, r), row(fullModel, r));
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
            const std::optional<qint64> rowId =
                writer.insert(logbook::insertStatement(500 + i, "Light", "40", "LUX", "t"));
            QVERIFY2(rowId, qPrintable(writer.error().reason));
            writer.close();
            QVERIFY(source.appendRows({*rowId}, {{500 + i, "Light", "40", "LUX", "t"}}));
        }
        QCOMPARE(model.rowCount(), 520);
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_data_source.moc"
