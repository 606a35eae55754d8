// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StatisticsTracker.h"
#include "TestSupport.h"
#include "platform/KeyValueStore.h"
#include "store/SessionListModel.h"
#include "store/StatisticsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

// Each test gets an empty store of its own.
class StatisticsTrackerTest : public ::testing::Test {
protected:
    void SetUp() override { KeyValueStore::useFile(dir.filePath("settings.ini")); }
    void TearDown() override
    {
        KeyValueStore::useFile(QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath("after-store-tests.ini"));
    }

    static KeyValueStore& store() { return KeyValueStore::standard(); }

    static SessionRecord record(qint64 images, qint64 original, qint64 saved, double runtime)
    {
        return {
            QUuid::createUuid(), QDateTime::currentDateTimeUtc(), images, images - 1, 1, 0, original, saved, runtime};
    }

    QString db() const { return dir.filePath("statistics.sqlite"); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(StatisticsTrackerTest, TotalsAndTheStartDateAddUpOverBatchesRestartsAndProcesses)
{
    const double before = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    double started = 0;
    {
        StatisticsTracker tracker(db());
        EXPECT_TRUE(tracker.sessions().isEmpty());
        EXPECT_GE(tracker.startDateTimestamp(), before - 1);
        started = tracker.startDateTimestamp();
        int savedChanges = 0;
        QObject::connect(&tracker, &StatisticsTracker::totalBytesSavedChanged, [&] { ++savedChanges; });
        tracker.addFiles(1, 1, 1000);
        tracker.addFiles(2, 1, 250); // one of them saved nothing
        EXPECT_EQ(savedChanges, 2);
        // Another program adds its batch meanwhile: neither loses the other's.
        StatisticsTracker other(db());
        other.addFiles(4, 2, 50, record(4, 100, 50, 1));
        tracker.addFiles(1, 0, 0);
        EXPECT_EQ(tracker.totalFilesProcessed(), 8);
        EXPECT_EQ(tracker.totalBytesSaved(), 1300);
    }
    StatisticsTracker restarted(db());
    EXPECT_EQ(restarted.startDateTimestamp(), started);
    EXPECT_TRUE(restarted.startDateLabel().contains(QString::number(QDate::currentDate().year())));
    restarted.addFiles(2, 1, 5'000'000'000LL);
    restarted.withdrawFile(300);
    StatisticsTracker again(db());
    EXPECT_EQ(again.totalFilesProcessed(), 10);
    EXPECT_EQ(again.totalFilesOptimized(), 4);
    EXPECT_EQ(again.totalBytesSaved(), 5'000'001'000LL);
    EXPECT_EQ(again.sessionCount(), 1);
}

// What an earlier version kept in the settings moves into the store once;
// a session record this version cannot decode is skipped and never lost.
TEST_F(StatisticsTrackerTest, FiguresMoveInOnceAndUndecodableRecordsAreKept)
{
    SessionRecord older = record(10, 5000, 1000, 12.5);
    older.date = QDateTime(QDate(2001, 1, 1), QTime(0, 1, 40), Qt::UTC);
    older.id = QUuid::fromString(QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
    QJsonObject incomplete = record(6, 1, 1, 1).toJson(), wrongType = record(7, 1, 1, 1).toJson();
    incomplete.remove("skippedCount");
    wrongType.insert("imageCount", "seven");
    QJsonObject olderAsStored = older.toJson(); // dates counted from 2001 then
    olderAsStored.remove("unixTime");
    olderAsStored.insert("date", 100.0);
    const QByteArray data =
        QJsonDocument(QJsonArray{incomplete, olderAsStored, wrongType, 42}).toJson(QJsonDocument::Compact);
    store().setValue("allTimeSessionRecords", data);
    store().setValue("allTimeTotalFilesProcessed", 7);
    store().setValue("allTimeStartDate", 1.7e9);
    const SessionRecord newer = record(3, 0, 0, 0.2);
    {
        StatisticsTracker tracker(db());
        EXPECT_EQ(tracker.sessions(), QList<SessionRecord>{older});
        EXPECT_EQ(tracker.totalFilesProcessed(), 7);
        EXPECT_EQ(tracker.startDateTimestamp(), 1.7e9);
        EXPECT_EQ(store().bytes("allTimeSessionRecords"), data) << "the old settings are left alone";
        tracker.addFiles(3, 0, 0, newer);
    }
    StatisticsTracker reloaded(db());
    EXPECT_EQ(reloaded.sessions(), (QList<SessionRecord>{newer, older})) << "moved in once, not again";
    EXPECT_EQ(reloaded.totalFilesProcessed(), 10);
    const QList<QJsonValue> stored = StatisticsStore(db()).sessions();
    ASSERT_EQ(stored.size(), 5) << "records this version cannot read are kept";
    EXPECT_EQ(stored.at(0).toObject(), newer.toJson());
    EXPECT_EQ(stored.at(1).toObject(), incomplete);
    EXPECT_EQ(stored.at(4), QJsonValue(42));
    const QJsonObject first = stored.at(2).toObject();
    EXPECT_EQ(first.value("id").toString(), "0F8FAD5B-D9CB-469F-A165-70867728950E");
    EXPECT_EQ(first.value("unixTime").toDouble(), 978307300.0) << "rewritten once as Unix time";
    EXPECT_FALSE(first.contains("date"));

    // Settings that hold no list move in no sessions.
    store().setValue("allTimeSessionRecords", QByteArray("{not json"));
    EXPECT_TRUE(StatisticsTracker(dir.filePath("other.sqlite")).sessions().isEmpty());
}

TEST_F(StatisticsTrackerTest, CsvHasOneLinePerSessionNewestFirstWithFieldsQuotedOnlyWhenNeeded)
{
    StatisticsTracker tracker(db());
    EXPECT_EQ(tracker.exportCSV(), "Date,Images,Optimized,Failed,Skipped,Reduced,Savings,Runtime\n");
    tracker.insertSession(0, record(3, 5'000'000, 1'170'000, 303.9));
    tracker.insertSession(0, record(1, 0, 0, 0.4));
    const QString date = R"("\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}Z",(.*)\n)";
    const auto match = QRegularExpression("^.*\n" + date + date + "$").match(tracker.exportCSV());
    ASSERT_TRUE(match.hasMatch()) << tracker.exportCSV().toStdString();
    EXPECT_EQ(match.captured(1), "1,0,1,0,0 bytes,0.0%,<1s");
    EXPECT_EQ(match.captured(2), "3,2,1,0,1.2 MB,23.4%,5m 3s");
    for (const auto& [field, written] : {std::pair{"1.2 MB", "1.2 MB"},
                                         {"1,2 MB", "\"1,2 MB\""},
                                         {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                         {"two\nlines", "\"two\nlines\""},
                                         {"", ""}})
        EXPECT_EQ(StatisticsTracker::csvField(field), written);
}

TEST(SessionRecord, RuntimeTextAndStrictDecoding)
{
    SessionRecord r;
    const std::pair<double, const char*> cases[] = {{0.4, "<1s"},    {1.0, "1s"},      {59.9, "59s"},
                                                    {60.0, "1m 0s"}, {3725, "62m 5s"}, {7200, "120m 0s"}};
    for (const auto& [seconds, text] : cases) {
        r.runtimeSeconds = seconds;
        EXPECT_EQ(r.runtimeText(), text) << seconds;
    }

    const QJsonObject good = r.toJson();
    EXPECT_EQ(SessionRecord::fromJson(good), r);
    for (const auto& [key, value] :
         {std::pair<QString, QJsonValue>{"failedCount", 1.5}, {"id", "not-a-uuid"}, {"unixTime", "yesterday"}}) {
        QJsonObject bad = good;
        bad.insert(key, value);
        EXPECT_FALSE(SessionRecord::fromJson(bad)) << key.toStdString();
    }
}

TEST_F(StatisticsTrackerTest, ModelOnlyEverInsertsRows)
{
    store().setValue("allTimeSessionRecords",
                     QJsonDocument(QJsonArray{record(2, 10, 1, 1).toJson()}).toJson(QJsonDocument::Compact));
    StatisticsTracker tracker(db());
    QAbstractListModel* model = tracker.sessionModel();
    ASSERT_EQ(model->rowCount(), 1);

    QStringList seen;
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeInserted,
                     [&] { seen << QStringLiteral("before, %1 rows").arg(model->rowCount()); });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
        seen << QStringLiteral("%1-%2").arg(first).arg(last);
    });
    QObject::connect(model, &QAbstractItemModel::modelReset, [&] { seen << "reset"; });
    tracker.insertSession(0, record(9, 10, 1, 65));
    EXPECT_EQ(seen, (QStringList{"before, 1 rows", "0-0"}))
        << "the view sees the old count until the insert is announced";
    EXPECT_EQ(model->rowCount(), 2);
    const QModelIndex top = model->index(0, 0);
    EXPECT_EQ(model->data(top, SessionListModel::ImageCountRole).toLongLong(), 9);
    EXPECT_EQ(model->data(top, SessionListModel::RuntimeTextRole).toString(), "1m 5s");
    EXPECT_EQ(model->data(model->index(1, 0), SessionListModel::ImageCountRole).toLongLong(), 2);
}
