#include "TestSupport.h"
#include "platform/KeyValueStore.h"
#include "store/SessionListModel.h"
#include "store/StatisticsTracker.h"

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
    // Writes the store to its file and reads it back, as a restart would.
    void reopenStore() { KeyValueStore::useFile(dir.filePath("settings.ini")); }

    static SessionRecord record(qint64 images, qint64 original, qint64 saved, double runtime)
    {
        return {QUuid::createUuid(), QDateTime::currentDateTimeUtc(), images, images - 1, 1, 0, original, saved, runtime};
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(StatisticsTrackerTest, TotalsAndTheStartDateAddUpOverBatchesAndRestarts)
{
    const double before = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    double started = 0;
    {
        StatisticsTracker tracker;
        EXPECT_TRUE(tracker.sessions().isEmpty());
        EXPECT_GE(tracker.startDateTimestamp(), before - 1);
        started = tracker.startDateTimestamp();
        int savedChanges = 0;
        QObject::connect(&tracker, &StatisticsTracker::totalBytesSavedChanged, [&] { ++savedChanges; });
        tracker.addFiles(1, 1, 1000);
        tracker.addFiles(2, 1, 250); // one of them saved nothing
        EXPECT_EQ(savedChanges, 2);
        EXPECT_EQ(store().int64("allTimeTotalFilesOptimized", -1), 2);
        EXPECT_FALSE(store().contains("allTimeSessionRecords")) << "loading writes no sessions";
    }
    reopenStore();
    StatisticsTracker restarted;
    EXPECT_EQ(restarted.startDateTimestamp(), started);
    EXPECT_TRUE(restarted.startDateLabel().contains(QString::number(QDate::currentDate().year())));
    restarted.addFiles(2, 1, 5'000'000'000LL);
    reopenStore();
    StatisticsTracker again;
    EXPECT_EQ(again.totalFilesProcessed(), 5);
    EXPECT_EQ(again.totalFilesOptimized(), 3);
    EXPECT_EQ(again.totalBytesSaved(), 5'000'001'250LL);
}

// Sessions survive a round trip through the store; a record this version
// cannot decode is skipped and never lost.
TEST_F(StatisticsTrackerTest, SessionsSurviveARoundTripAndUndecodableRecordsAreKept)
{
    SessionRecord older = record(10, 5000, 1000, 12.5);
    older.date = QDateTime(QDate(2001, 1, 1), QTime(0, 1, 40), Qt::UTC);
    older.id = QUuid::fromString(QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
    QJsonObject incomplete = record(6, 1, 1, 1).toJson(), wrongType = record(7, 1, 1, 1).toJson();
    incomplete.remove("skippedCount");
    wrongType.insert("imageCount", "seven");
    const QByteArray data = QJsonDocument(QJsonArray{incomplete, older.toJson(), wrongType, 42}).toJson(QJsonDocument::Compact);
    store().setValue("allTimeSessionRecords", data);
    const SessionRecord newer = record(3, 0, 0, 0.2);
    {
        StatisticsTracker tracker;
        EXPECT_EQ(tracker.sessions(), QList<SessionRecord>{older});
        EXPECT_EQ(store().bytes("allTimeSessionRecords"), data) << "loading leaves the stored data alone";
        tracker.insertSession(0, newer);
        tracker.saveSessions();
    }
    reopenStore();

    const auto stored = QJsonDocument::fromJson(store().bytes("allTimeSessionRecords")).array();
    ASSERT_EQ(stored.size(), 5) << "records this version cannot read are kept";
    EXPECT_EQ(stored.at(0).toObject(), newer.toJson());
    const QJsonObject first = stored.at(1).toObject();
    EXPECT_EQ(first.keys().size(), 9);
    EXPECT_EQ(first.value("id").toString(), "0F8FAD5B-D9CB-469F-A165-70867728950E");
    EXPECT_EQ(first.value("date").toDouble(), 100.0) << "seconds since 2001";
    EXPECT_EQ(first.value("totalOriginalBytes").toInteger(), 5000);
    EXPECT_EQ(first.value("runtimeSeconds").toDouble(), 12.5);
    EXPECT_EQ(stored.at(2).toObject(), incomplete);
    EXPECT_EQ(stored.at(4), QJsonValue(42));
    StatisticsTracker reloaded;
    EXPECT_EQ(reloaded.sessions(), (QList<SessionRecord>{newer, older}));
    EXPECT_EQ(reloaded.loadSessions(), reloaded.sessions());

    // Data that is no list loads empty and is left alone.
    store().setValue("allTimeSessionRecords", QByteArray("{not json"));
    EXPECT_TRUE(StatisticsTracker().sessions().isEmpty());
    EXPECT_EQ(store().bytes("allTimeSessionRecords"), "{not json");
}

TEST_F(StatisticsTrackerTest, CsvHasOneLinePerSessionNewestFirstWithFieldsQuotedOnlyWhenNeeded)
{
    StatisticsTracker tracker;
    EXPECT_EQ(tracker.exportCSV(), "Date,Images,Optimized,Failed,Skipped,Reduced,Savings,Runtime\n");
    tracker.insertSession(0, record(3, 5'000'000, 1'170'000, 303.9));
    tracker.insertSession(0, record(1, 0, 0, 0.4));
    const QString date = R"("\d{1,2}/\d{1,2}/\d{2} \d{1,2}:\d{2} [^"]+",(.*)\n)";
    const auto match = QRegularExpression("^.*\n" + date + date + "$").match(tracker.exportCSV());
    ASSERT_TRUE(match.hasMatch()) << tracker.exportCSV().toStdString();
    EXPECT_EQ(match.captured(1), "1,0,1,0,Zero KB,0.0%,<1s");
    EXPECT_EQ(match.captured(2), "3,2,1,0,1.2 MB,23.4%,5m 3s");
    for (const auto& [field, written] : {std::pair{"1.2 MB", "1.2 MB"}, {"1,2 MB", "\"1,2 MB\""},
                                         {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"two\nlines", "\"two\nlines\""}, {"", ""}})
        EXPECT_EQ(StatisticsTracker::csvField(field), written);
}

TEST(SessionRecord, RuntimeTextAndStrictDecoding)
{
    SessionRecord r;
    const std::pair<double, const char*> cases[] = {
        {0.4, "<1s"}, {1.0, "1s"}, {59.9, "59s"}, {60.0, "1m 0s"}, {3725, "62m 5s"}, {7200, "120m 0s"}};
    for (const auto& [seconds, text] : cases) {
        r.runtimeSeconds = seconds;
        EXPECT_EQ(r.runtimeText(), text) << seconds;
    }

    const QJsonObject good = r.toJson();
    EXPECT_EQ(SessionRecord::fromJson(good), r);
    for (const auto& [key, value] : {std::pair<QString, QJsonValue>{"failedCount", 1.5}, {"id", "not-a-uuid"}, {"date", "yesterday"}}) {
        QJsonObject bad = good;
        bad.insert(key, value);
        EXPECT_FALSE(SessionRecord::fromJson(bad)) << key.toStdString();
    }
}

TEST_F(StatisticsTrackerTest, ModelOnlyEverInsertsRows)
{
    store().setValue("allTimeSessionRecords",
                     QJsonDocument(QJsonArray{record(2, 10, 1, 1).toJson()}).toJson(QJsonDocument::Compact));
    StatisticsTracker tracker;
    QAbstractListModel* model = tracker.sessionModel();
    ASSERT_EQ(model->rowCount(), 1);

    QStringList seen;
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeInserted,
                     [&] { seen << QStringLiteral("before, %1 rows").arg(model->rowCount()); });
    QObject::connect(model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { seen << QStringLiteral("%1-%2").arg(first).arg(last); });
    QObject::connect(model, &QAbstractItemModel::modelReset, [&] { seen << "reset"; });
    tracker.insertSession(0, record(9, 10, 1, 65));
    EXPECT_EQ(seen, (QStringList{"before, 1 rows", "0-0"})) << "the view sees the old count until the insert is announced";
    EXPECT_EQ(model->rowCount(), 2);
    const QModelIndex top = model->index(0, 0);
    EXPECT_EQ(model->data(top, SessionListModel::ImageCountRole).toLongLong(), 9);
    EXPECT_EQ(model->data(top, SessionListModel::RuntimeTextRole).toString(), "1m 5s");
    EXPECT_EQ(model->data(model->index(1, 0), SessionListModel::ImageCountRole).toLongLong(), 2);
}
