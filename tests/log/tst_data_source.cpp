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
