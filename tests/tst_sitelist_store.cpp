// The store's block reads of the site list, the streamed list rows, transactions and the
// search indexes made with progress.
#include "helpers/storetestcase.h"
#include "helpers/teststore.h"
#include "store/datafolder.h"
#include "store/store.h"

#include <QtTest>
#include <sqlite3.h>

using namespace zorbin::store;

namespace {

// Sites 1..n with titles "site i" and addresses "http://i.ir", written by the test's own
// connection in one statement.
bool fillSites(TestStore &env, int n)
{
    return env.sql(QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < " +
                              QByteArray::number(n) +
                              ") INSERT INTO Table_Site(ID,Onvan,Address) "
                              "SELECT i, 'site ' || i, 'http://' || i || '.ir' FROM n")
                       .constData());
}

QVector<qint64> idsOf(const QVector<SiteListRow> &rows)
{
    QVector<qint64> ids;
    for (const SiteListRow &r : rows)
        ids << r.id;
    return ids;
}

int siteIndexCount(const QString &folder)
{
    RawDb raw(folder);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw.handle(),
                       "SELECT count(*) FROM sqlite_master WHERE type='index' AND "
                       "name IN ('Site_ID','Site_Onvan','Site_Address','Site_Mozoo','Site_Modir')",
                       -1, &st, nullptr);
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    return n;
}

} // namespace

// Each test case gets a fresh data folder with its store.
class TstSiteListStore : public StoreTestCase
{
    Q_OBJECT
private Q_SLOTS:

    void blockReadsNeighbouringAndScatteredIds();
    void streamedRowsInOrderAcrossManyBlocks();
    void streamStopsWhenTheSinkSaysSo();
    void failedBlockReadIsReported();
    void transactionKeepsAllOrNothing();
    void insertsReuseTheirStatement();
    void indexBuildInterruptedAndResumed();
    void searchInSlicesFindsWhatTheWholeSearchFinds_data();
    void searchInSlicesFindsWhatTheWholeSearchFinds();
    void searchWithoutItsIndexIsReadAtOnce();
};

void TstSiteListStore::blockReadsNeighbouringAndScatteredIds()
{
    TestStore &env = *m_env;
    QVERIFY(fillSites(env, 300));
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID IN (64, 65, 200)"));
    Store &store = *env.store;

    // Neighbours across the first block boundary, one gone on each side of it.
    QVector<qint64> wanted;
    for (qint64 id = 60; id <= 70; ++id)
        wanted << id;
    auto rows = store.siteListRows(wanted);
    QVERIFY(rows);
    QCOMPARE(idsOf(*rows), (QVector<qint64>{60, 61, 62, 63, 66, 67, 68, 69, 70}));
    QCOMPARE(rows->at(4).texts[0], QStringLiteral("site 66"));
    QCOMPARE(rows->at(4).texts[1], QStringLiteral("http://66.ir"));
    QVERIFY(rows->at(4).texts[2].isNull()); // a NULL column stays NULL

    // Scattered IDs, more than one lookup list holds, given out of order: read by ID. The
    // missing ones sort first and in the middle, so the last ID bound in each list exists.
    QVector<qint64> scattered;
    for (qint64 id = 299; id >= 1; id -= 3)
        scattered << id;
    scattered << 200 << 0;
    rows = store.siteListRows(scattered);
    QVERIFY(rows);
    QVector<qint64> expected;
    for (qint64 id = 2; id <= 299; id += 3)
        if (id != 64 && id != 65 && id != 200)
            expected << id;
    QCOMPARE(idsOf(*rows), expected);
    for (const SiteListRow &r : *rows)
        QCOMPARE(r.texts[0], QStringLiteral("site %1").arg(r.id));
    QVERIFY(store.siteListRows({}).value().isEmpty());
}

void TstSiteListStore::streamedRowsInOrderAcrossManyBlocks()
{
    TestStore &env = *m_env;
    QVERIFY(fillSites(env, 1000));
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID % 97 = 0"));
    Store &store = *env.store;
    // The list as shown (every ID, the deleted ones too) streams every site still there.
    QVector<qint64> ids;
    for (qint64 id = 1; id <= 1000; ++id)
        ids << id;
    QVector<qint64> seen;
    QVERIFY(store.forEachSiteListRow(ids, [&](const SiteListRow &row) {
        if (row.texts[0] != QStringLiteral("site %1").arg(row.id))
            return false;
        seen << row.id;
        return true;
    }));
    QCOMPARE(seen.size(), 1000 - 1000 / 97);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QVERIFY(!seen.contains(97));
    // The store holds no read open afterwards: another connection can write.
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID = 1"));
}

void TstSiteListStore::streamStopsWhenTheSinkSaysSo()
{
    TestStore &env = *m_env;
    QVERIFY(fillSites(env, 500));
    QVector<qint64> ids;
    for (qint64 id = 1; id <= 500; id += 7) // scattered: looked up by ID
        ids << id;
    for (const QVector<qint64> &list : {ids, QVector<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}) {
        int handed = 0;
        QVERIFY(
            env.store->forEachSiteListRow(list, [&](const SiteListRow &) { return ++handed < 3; }));
        QCOMPARE(handed, 3);
    }
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID = 2"));
}

void TstSiteListStore::failedBlockReadIsReported()
{
    TestStore &env = *m_env;
    QVERIFY(fillSites(env, 10));
    QVERIFY(env.sql("ALTER TABLE Table_Site RENAME TO Table_Away"));
    const auto rows = env.store->siteListRows({1, 2, 3});
    QVERIFY(!rows);
    QVERIFY(rows.error().detail.contains(QStringLiteral("Table_Site")));
    int handed = 0;
    QVERIFY(!env.store->forEachSiteListRow({1, 500}, [&](const SiteListRow &) {
        ++handed;
        return true;
    }));
    QCOMPARE(handed, 0);
}

void TstSiteListStore::transactionKeepsAllOrNothing()
{
    TestStore &env = *m_env;
    Store &store = *env.store;
    SiteRecord r;
    r[Onvan] = QStringLiteral("kept");
    QVERIFY(store.inTransaction([&]() -> Result<void> {
        for (int i = 0; i < 3; ++i)
            if (auto id = store.insertSite(r); !id)
                return std::unexpected(id.error());
        // Inside another: joins it.
        return store.inTransaction([&]() -> Result<void> {
            if (auto id = store.insertSite(r); !id)
                return std::unexpected(id.error());
            return {};
        });
    }));
    QCOMPARE(store.siteCount().value(), 4);

    r[Onvan] = QStringLiteral("lost");
    const auto failed = store.inTransaction([&]() -> Result<void> {
        if (auto id = store.insertSite(r); !id)
            return std::unexpected(id.error());
        return failure(StoreError::Kind::Io, QStringLiteral("the source ended early"));
    });
    QVERIFY(!failed);
    QCOMPARE(failed.error().detail, QStringLiteral("the source ended early"));
    QCOMPARE(store.siteCount().value(), 4);
    QVERIFY(!store.siteTitleExists(QStringLiteral("lost")).value());
    // Nothing stays open: another connection writes.
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID = 1"));
}

void TstSiteListStore::insertsReuseTheirStatement()
{
    TestStore &env = *m_env;
    Store &store = *env.store;
    // Rows in a row keep their own fields: nothing of one binding leaks into the next.
    QVector<qint64> ids;
    for (int i = 0; i < 5; ++i) {
        SiteRecord r;
        r[Onvan] = QStringLiteral("t%1").arg(i);
        if (i % 2 == 0)
            r[Email] = QStringLiteral("e%1@x.ir").arg(i);
        ids << store.insertSite(r).value();
    }
    for (int i = 0; i < 5; ++i) {
        const SiteRecord back = store.site(ids[i]).value();
        QCOMPARE(back[Onvan], QStringLiteral("t%1").arg(i));
        QCOMPARE(back[Email].isNull(), i % 2 == 1);
    }
    // A failed insert leaves the statement usable.
    QVERIFY(env.sql("CREATE TRIGGER no_x BEFORE INSERT ON Table_Site WHEN NEW.Onvan = 'x' "
                    "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    SiteRecord bad;
    bad[Onvan] = QStringLiteral("x");
    const auto refused = store.insertSite(bad);
    QVERIFY(!refused);
    QVERIFY(refused.error().detail.contains(QStringLiteral("refused")));
    SiteRecord good;
    good[Onvan] = QStringLiteral("y");
    QVERIFY(store.insertSite(good));
}

void TstSiteListStore::indexBuildInterruptedAndResumed()
{
    TestStore &env = *m_env;
    QVERIFY(fillSites(env, 20000));
    env.store.reset();
    {
        RawDb raw(env.dir.path());
        for (const char *sql : {"DROP INDEX Site_ID", "DROP INDEX Site_Onvan",
                                "DROP INDEX Site_Address", "DROP INDEX Site_Mozoo"})
            QVERIFY2(raw.exec(sql), sql);
    }
    auto opened = openDataFolder(env.dir.path(), false);
    QVERIFY2(opened && (*opened)->verify(), "not opened");
    auto &store = *opened;
    // Opening checks the file and makes no index; the caller does, with progress.
    QCOMPARE(store->missingIndexCount(), 4);

    // Stopped after the second index made: what was made stays, the rest is missing.
    QList<QPair<int, int>> calls;
    auto stopped = store->ensureIndexes([&](int done, int total) {
        calls << qMakePair(done, total);
        return done < 2;
    });
    QVERIFY(!stopped);
    QCOMPARE(store->missingIndexCount(), 2);
    QCOMPARE(siteIndexCount(env.dir.path()), 3);
    QCOMPARE(calls.first(), qMakePair(0, 4));
    QCOMPARE(calls.last(), qMakePair(2, 4));
    // Stopped before it starts, and in the middle of making one: that one is not there.
    QVERIFY(!store->ensureIndexes([](int, int) { return false; }));
    int during = 0;
    stopped = store->ensureIndexes([&](int done, int) { return done > 0 || ++during < 2; });
    QVERIFY(!stopped);
    QCOMPARE(during, 2);
    QCOMPARE(store->missingIndexCount(), 2);
    // The searches work meanwhile, through the table where an index is missing.
    QCOMPARE(store->searchSites(SearchColumn::Address, QStringLiteral("http://19999.")).value(),
             QVector<qint64>{19999});
    QCOMPARE(store->siteIds().value().size(), 20000);

    // Resumed: goes on from there to the end.
    calls.clear();
    QVERIFY(store->ensureIndexes([&](int done, int total) {
        calls << qMakePair(done, total);
        return true;
    }));
    QCOMPARE(calls.first(), qMakePair(0, 2));
    QCOMPARE(calls.last(), qMakePair(2, 2));
    QCOMPARE(store->missingIndexCount(), 0);
    QCOMPARE(siteIndexCount(env.dir.path()), 5);
    QCOMPARE(store->searchSites(SearchColumn::Onvan, QStringLiteral("site 19999")).value(),
             QVector<qint64>{19999});
}

namespace {

// Titles and addresses that fold alike in different spellings (Arabic and Persian yeh and
// kaf, three kinds of digits, capitals), many of them repeated, so that slices end inside
// runs of equal index entries.
bool fillSpellings(TestStore &env, int n)
{
    const QStringList bases{
        QStringLiteral("Kitab"),  QStringLiteral("kitab"), QStringLiteral("KITAB"),
        QStringLiteral("كتاب"),   QStringLiteral("کتاب"),  QStringLiteral("يار"),
        QStringLiteral("یار"),    QStringLiteral("۱۲3"),   QStringLiteral("123"),
        QStringLiteral("١٢٣"),    QStringLiteral("ab_c"),  QStringLiteral("ab%c"),
        QStringLiteral("AB"),     QStringLiteral("ab"),    QString(),
        QStringLiteral("Zorbin"), QStringLiteral("a'b"),
    };
    return env.store
        ->inTransaction([&]() -> Result<void> {
            for (int i = 0; i < n; ++i) {
                const QString base = bases[(i * 7) % bases.size()];
                const QString text =
                    base.isNull() || i % 3 == 0 ? base : base + u' ' + QString::number(i % 5);
                if (env.addSite(text, text, QStringLiteral("news"), text) <= 0)
                    return failure(StoreError::Kind::Engine, QStringLiteral("site not added"));
            }
            return {};
        })
        .has_value();
}

// A search read a slice of `limit` at a time to its end; the number of slices it took.
QVector<qint64> readInSlices(Store &store, SearchColumn column, const QString &prefix, int limit,
                             int *slices)
{
    SearchSlices search = siteSearch(column, prefix);
    *slices = 0;
    for (;;) {
        const auto done = store.searchSlice(search, limit);
        if (!done.has_value())
            return {-1};
        ++*slices;
        if (*done)
            return search.ids;
        if (*slices > 100000)
            return {-2}; // never ends
    }
}

} // namespace

void TstSiteListStore::searchInSlicesFindsWhatTheWholeSearchFinds_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("prefix");
    for (const auto column : {SearchColumn::Onvan, SearchColumn::Address, SearchColumn::Modir})
        for (const char *prefix : {"k", "Ki", "KITAB", "kitab 1", "كت", "کت", "ي", "ی", "1", "۱",
                                   "١٢", "ab", "ab%", "ab_", "a'", "z", "q"})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2")
                                         .arg(searchColumnName(column))
                                         .arg(QString::fromUtf8(prefix))))
                << int(column) << QString::fromUtf8(prefix);
}

void TstSiteListStore::searchInSlicesFindsWhatTheWholeSearchFinds()
{
    QFETCH(int, column);
    QFETCH(QString, prefix);
    TestStore &env = *m_env;
    QVERIFY(fillSpellings(env, 400));
    Store &store = *env.store;
    const auto searched = SearchColumn(column);
    const QVector<qint64> whole = store.searchSites(searched, prefix).value();

    for (const int limit : {1, 2, 7, 50, 100000}) {
        int slices = 0;
        QCOMPARE(readInSlices(store, searched, prefix, limit, &slices), whole);
        // It was read a slice at a time, not at once.
        QVERIFY2(slices >= int(whole.size()) / limit, qPrintable(QString::number(slices)));
    }

    // The first screen read in ID order is the start of the same result: whole when every
    // site was read, and nothing past the sites it read.
    for (const int wanted : {1, 5, 1000}) {
        const SearchHead head =
            store.searchHead(siteSearch(searched, prefix), wanted, 1000).value();
        QCOMPARE(head.ids, whole.mid(0, wanted));
        QCOMPARE(head.whole, whole.size() < wanted);
        const SearchHead part = store.searchHead(siteSearch(searched, prefix), wanted, 40).value();
        QVector<qint64> inFirst40;
        for (const qint64 id : whole)
            if (id <= 40 && inFirst40.size() < wanted)
                inFirst40 << id;
        QCOMPARE(part.ids, inFirst40);
        QVERIFY(!part.whole);
    }
}

void TstSiteListStore::searchWithoutItsIndexIsReadAtOnce()
{
    TestStore &env = *m_env;
    QVERIFY(fillSpellings(env, 200));
    const QVector<qint64> whole =
        env.store->searchSites(SearchColumn::Onvan, QStringLiteral("k")).value();
    QVERIFY(whole.size() > 20);
    env.store.reset();
    QVERIFY(RawDb(env.dir.path()).exec("DROP INDEX Site_Onvan"));
    auto opened = openDataFolder(env.dir.path(), false);
    QVERIFY2(opened && (*opened)->verify(), "not opened");
    auto &store = *opened;
    int slices = 0;
    QCOMPARE(readInSlices(*store, SearchColumn::Onvan, QStringLiteral("k"), 3, &slices), whole);
    QCOMPARE(slices, 1);
    // The other columns still go a slice at a time.
    const QVector<qint64> byAddress =
        store->searchSites(SearchColumn::Address, QStringLiteral("k")).value();
    QCOMPARE(readInSlices(*store, SearchColumn::Address, QStringLiteral("k"), 3, &slices),
             byAddress);
    QVERIFY(slices > 1);
}

QTEST_GUILESS_MAIN(TstSiteListStore)
#include "tst_sitelist_store.moc"
