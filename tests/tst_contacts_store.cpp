#include "helpers/storetestcase.h"
#include "store/contactpictures.h"
#include "store/pictures.h"
#include "store/store.h"

#include <QtTest>
#include <sqlite3.h>

using namespace zorbin::store;

namespace {

ContactRecord contactNamed(const QString &name, const QString &mobile)
{
    ContactRecord r;
    r.name = name;
    r.group = QStringLiteral("دوستان");
    r.mobile = mobile;
    r.home = QStringLiteral("021-1");
    r.office = QStringLiteral("021-2");
    r.email = QStringLiteral("a@b.example");
    r.site = QStringLiteral("http://a.example");
    r.job = QStringLiteral("job");
    r.address = QStringLiteral("line 1\r\nline 2");
    r.image = mobile + QStringLiteral(".jpg");
    return r;
}

QStringList names(Store &store, const Result<QVector<qint64>> &ids)
{
    QStringList list;
    if (!ids)
        return {QStringLiteral("<failed: %1>").arg(ids.error().detail)};
    for (qint64 id : *ids)
        list << store.contact(id)->name;
    return list;
}

// 1 taken, 0 free, -1 the call failed.
int taken(Store &store, const QString &mobile)
{
    const auto r = store.contactMobileExists(mobile);
    return r.has_value() ? int(*r) : -1;
}

// The bytes of a file, or "<none>" when there is no file.
QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

ContactRecord withId(ContactRecord record, qint64 id)
{
    record.id = id;
    return record;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TstContactsStore : public StoreTestCase
{
    Q_OBJECT

private slots:

    // Insert, read, update and delete keep every field in its column.
    void recordRoundTrip()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        ContactRecord r = contactNamed(QStringLiteral("Ali 'Q' \"x\" %_"), QStringLiteral("0912"));
        r.address = QString(10000, QChar(u'ب')) + QStringLiteral("\r\nend");
        const auto id = s.insertContact(r);
        QVERIFY(id);
        r.id = *id;
        const auto back = s.contact(*id);
        QVERIFY(back);
        QCOMPARE(back->id, r.id);
        const QStringList got{back->name,  back->group, back->mobile, back->home,    back->office,
                              back->email, back->site,  back->job,    back->address, back->image};
        const QStringList want{r.name,  r.group, r.mobile, r.home,    r.office,
                               r.email, r.site,  r.job,    r.address, r.image};
        QCOMPARE(got, want);

        // Positions in the table, as other programs read them.
        RawDb raw(env.dir.path());
        sqlite3_stmt *st = nullptr;
        QCOMPARE(sqlite3_prepare_v2(raw.handle(), "SELECT * FROM Table_Contact", -1, &st, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i))),
                     want[i - 1]);
        sqlite3_finalize(st);

        r.mobile = QStringLiteral("0935");
        r.group = QString(); // a null field is written as an empty text
        QVERIFY(s.updateContact(r));
        QCOMPARE(s.contact(r.id)->mobile, QStringLiteral("0935"));
        QVERIFY(!s.contact(r.id)->group.isNull());
        QVERIFY(s.contact(r.id)->group.isEmpty());

        QVERIFY(s.deleteContact(r.id));
        QCOMPARE(s.contact(r.id).error().kind, StoreError::Kind::NotFound);
        QCOMPARE(s.deleteContact(r.id).error().kind, StoreError::Kind::NotFound);
        QCOMPARE(s.updateContact(r).error().kind, StoreError::Kind::NotFound);
        QCOMPARE(s.contactListRow(r.id).error().kind, StoreError::Kind::NotFound);
    }

    // A contact is reached by its exact 64-bit ID, never by an ID that merely starts alike.
    void exactIds()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(env.sql("INSERT INTO Table_Contact (ID, Name, Mobile) VALUES (5, 'five', '5'),"
                        " (50, 'fifty', '50'), (51, 'fifty-one', '51'),"
                        " (5000000000, 'big', '5000000000')"));
        QCOMPARE(s.contact(5)->name, QStringLiteral("five"));
        QCOMPARE(s.contact(5000000000)->name, QStringLiteral("big"));
        QCOMPARE(s.contactListRow(5000000000)->mobile, QStringLiteral("5000000000"));
        QCOMPARE(*s.contactIds(), (QVector<qint64>{5, 50, 51, 5000000000}));
        QVERIFY(s.deleteContact(5));
        QVERIFY(s.contact(50));
        QCOMPARE(*s.contactIds(), (QVector<qint64>{50, 51, 5000000000}));
    }

    // The grid's row: ID, name, group, mobile, home, job, e-mail; several rows keep the
    // asked order and skip contacts that are gone.
    void listRows()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        const qint64 a = *s.insertContact(contactNamed(QStringLiteral("A"), QStringLiteral("1")));
        const qint64 b = *s.insertContact(contactNamed(QStringLiteral("B"), QStringLiteral("2")));
        const auto row = s.contactListRow(a);
        QVERIFY(row);
        QCOMPARE((QStringList{row->name, row->group, row->mobile, row->home, row->job, row->email}),
                 (QStringList{"A", QStringLiteral("دوستان"), "1", "021-1", "job", "a@b.example"}));
        const auto rows = s.contactListRows({b, 999, a});
        QVERIFY(rows);
        QCOMPARE(rows->size(), 2);
        QCOMPARE(rows->at(0).id, b);
        QCOMPARE(rows->at(1).name, QStringLiteral("A"));
    }

    // The search folds as the site search does and matches by prefix, in ID order.
    void search()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        const QStringList stored{QStringLiteral("علي رضايي"), QStringLiteral("Alice"),
                                 QStringLiteral("alfred"),    QStringLiteral("O'Neil 50%_x"),
                                 QStringLiteral("کامران"),    QStringLiteral("Bob")};
        const QStringList mobiles{
            "09121111111", "09351111111", "0912222", QStringLiteral("۰۹۱۲۳۳۳"), "", "+98 912"};
        for (int i = 0; i < stored.size(); ++i)
            QVERIFY(s.insertContact(contactNamed(stored[i], mobiles[i])));
        const auto byName = [&](const QString &p) {
            return names(s, s.searchContacts(ContactSearchColumn::Name, p));
        };
        const auto byMobile = [&](const QString &p) {
            return names(s, s.searchContacts(ContactSearchColumn::Mobile, p));
        };
        QCOMPARE(byName(QStringLiteral("AL")), (QStringList{"Alice", "alfred"}));
        QCOMPARE(byName(QStringLiteral("lice")), QStringList{});
        // Persian yeh and keheh typed find the Arabic forms stored, and the other way round.
        QCOMPARE(byName(QStringLiteral("علی")), QStringList{QStringLiteral("علي رضايي")});
        QCOMPARE(byName(QStringLiteral("كا")), QStringList{QStringLiteral("کامران")});
        // Quotes, % and _ match themselves.
        QCOMPARE(byName(QStringLiteral("O'Neil 50%_")), QStringList{"O'Neil 50%_x"});
        QCOMPARE(byName(QStringLiteral("O'Neil 50__")), QStringList{});
        QCOMPARE(byName(QString()).size(), stored.size());
        // Persian digits typed find Latin digits stored, and the other way round.
        QCOMPARE(byMobile(QStringLiteral("۰۹۱۲")),
                 (QStringList{QStringLiteral("علي رضايي"), "alfred", "O'Neil 50%_x"}));
        QCOMPARE(byMobile(QStringLiteral("0912")),
                 (QStringList{QStringLiteral("علي رضايي"), "alfred", "O'Neil 50%_x"}));
        QCOMPARE(byMobile(QStringLiteral("+98")), QStringList{"Bob"});
        QCOMPARE(byMobile(QStringLiteral("Al")), QStringList{});
    }

    // A prefix that matches most of a large book still gives every match once, in ID order,
    // also when the matches are spread thin over the IDs.
    void searchLargeResult()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(env.sql("INSERT INTO Table_Contact (Name, \"Group\", Mobile) "
                        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                        "WHERE x < 6000) SELECT 'c' || x, 'g', "
                        "CASE WHEN x % 7 = 0 THEN '۰۹' || x ELSE '09' || (7000 - x) END FROM n"));
        QVERIFY(env.sql("DELETE FROM Table_Contact WHERE ID % 11 = 0"));
        const auto all = s.contactIds();
        QVERIFY(all);
        const auto found = s.searchContacts(ContactSearchColumn::Mobile, QStringLiteral("0"));
        QVERIFY(found);
        QCOMPARE(*found, *all);
        const auto persian = s.searchContacts(ContactSearchColumn::Mobile, QStringLiteral("۰۹"));
        QVERIFY(persian);
        QCOMPARE(*persian, *all);
        // A thin set far apart keeps its order too.
        QVERIFY(env.sql("DELETE FROM Table_Contact WHERE ID % 1000 <> 1"));
        QVERIFY(env.sql("INSERT INTO Table_Contact (ID, Name, Mobile) VALUES (900000000, 'far', "
                        "'0999')"));
        const auto thin = s.searchContacts(ContactSearchColumn::Mobile, QStringLiteral("09"));
        QVERIFY(thin);
        QCOMPARE(*thin, *s.contactIds());
        QCOMPARE(thin->last(), qint64(900000000));
    }

    // A long search read in parts (its first screen in ID order, then the rest a slice at a
    // time through the column's index) finds what the whole search finds, spellings folded.
    void searchInParts()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(env.sql("INSERT INTO Table_Contact (Name, \"Group\", Mobile) "
                        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                        "WHERE x < 3000) SELECT CASE x % 4 WHEN 0 THEN 'علي ' || x "
                        "WHEN 1 THEN 'علی ' || x WHEN 2 THEN 'كاوه ' || x ELSE 'Ali ' || x END, "
                        "'g', CASE WHEN x % 3 = 0 THEN '۰۹۱' || x ELSE '091' || x END FROM n"));
        int slices = 0;
        const auto inParts = [&](SearchSlices search, int limit) {
            slices = 1;
            while (!s.searchSlice(search, limit).value())
                ++slices;
            return search.ids;
        };
        for (const auto column : {ContactSearchColumn::Name, ContactSearchColumn::Mobile}) {
            for (const QString &prefix :
                 {QStringLiteral("علي"), QStringLiteral("علی 1"), QStringLiteral("کا"),
                  QStringLiteral("a"), QStringLiteral("09"), QStringLiteral("۰۹۱۲"),
                  QStringLiteral("0"), QString()}) {
                const QVector<qint64> whole = s.searchContacts(column, prefix).value();
                for (const int limit : {1, 7, 1000}) {
                    QCOMPARE(inParts(contactSearch(column, prefix), limit), whole);
                    // Through the index, a slice at a time, not at once.
                    QVERIFY(prefix.isEmpty() || slices >= int(whole.size()) / limit);
                }
                const SearchHead head =
                    s.searchHead(contactSearch(column, prefix), 40, 5000).value();
                QCOMPARE(head.ids, whole.mid(0, 40));
                QCOMPARE(head.whole, whole.size() < 40);
            }
        }
        QVERIFY(s.searchContacts(ContactSearchColumn::Mobile, QStringLiteral("09")).value().size() >
                2000);
        // Signs a pattern would read as wildcards, and quotes, match themselves.
        QVERIFY(env.sql("INSERT INTO Table_Contact (Name, \"Group\", Mobile) VALUES "
                        "('50% off', 'g', '1%2'), ('50 percent', 'g', '152'), "
                        "('A_i', 'g', '1_2'), ('O''Neil', 'g', '1''2')"));
        const auto names = [&](ContactSearchColumn column, const QString &prefix) {
            const QVector<qint64> ids = inParts(contactSearch(column, prefix), 3);
            QStringList found;
            for (const qint64 id : ids)
                found << (column == ContactSearchColumn::Name ? s.contact(id)->name
                                                              : s.contact(id)->mobile);
            return found;
        };
        QCOMPARE(names(ContactSearchColumn::Name, QStringLiteral("50%")), QStringList{"50% off"});
        QCOMPARE(names(ContactSearchColumn::Name, QStringLiteral("a_")), QStringList{"A_i"});
        QCOMPARE(names(ContactSearchColumn::Name, QStringLiteral("o'n")), QStringList{"O'Neil"});
        QCOMPARE(names(ContactSearchColumn::Mobile, QStringLiteral("1%")), QStringList{"1%2"});
        QCOMPARE(names(ContactSearchColumn::Mobile, QStringLiteral("1_")), QStringList{"1_2"});
        QCOMPARE(
            s.searchHead(contactSearch(ContactSearchColumn::Name, QStringLiteral("50%")), 40, 5000)
                .value()
                .ids.size(),
            1);
    }

    // A new contact's mobile is refused when a stored one equals it after trimming, exactly.
    void duplicateMobile()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(s.insertContact(contactNamed(QStringLiteral("A"), QStringLiteral("0912 ABC"))));
        QVERIFY(s.insertContact(contactNamed(QStringLiteral("B"), QStringLiteral(""))));
        QVERIFY(env.sql("INSERT INTO Table_Contact (Name) VALUES ('no mobile')"));
        QCOMPARE(taken(s, QStringLiteral("0912 ABC")), 1);
        QCOMPARE(taken(s, QStringLiteral("  0912 ABC  ")), 1);
        QCOMPARE(taken(s, QStringLiteral("0912 abc")), 0);
        QCOMPARE(taken(s, QStringLiteral("0912")), 0);
        QCOMPARE(taken(s, QStringLiteral("   ")), 0);
    }

    // A save writes a picture file only when the user chose one; a file on disk is never
    // written again, moved with its contact's number, and kept while another contact has
    // the same number.
    void pictureFilesFollowTheirContacts()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        const QString folder = env.dir.path();
        const auto path = [&](const QString &mobile) { return picturePath(folder, mobile); };
        const qint64 a =
            s.insertContact(contactNamed(QStringLiteral("A"), QStringLiteral("1"))).value_or(0);
        const qint64 b =
            s.insertContact(contactNamed(QStringLiteral("B"), QStringLiteral("2"))).value_or(0);
        const qint64 c =
            s.insertContact(contactNamed(QStringLiteral("C"), QStringLiteral("2"))).value_or(0);
        // Stored pictures a reader cannot decode: empty, and not a picture at all.
        QVERIFY(writeBytes(path(QStringLiteral("1")), QByteArray()));
        QVERIFY(writeBytes(path(QStringLiteral("2")), "not a picture"));

        // Unchanged number, nothing chosen: not touched.
        PictureSave save{a, false, QStringLiteral("1"), QStringLiteral("1"), std::nullopt};
        QVERIFY(savePictureFor(s, folder, save));
        QCOMPARE(bytesOf(path(QStringLiteral("1"))), QByteArray());

        // B moves to 3: its picture is copied, since C still has 2.
        QVERIFY(s.updateContact(withId(contactNamed(QStringLiteral("B"), QStringLiteral("3")), b)));
        save = {b, false, QStringLiteral("2"), QStringLiteral("3"), std::nullopt};
        QVERIFY(savePictureFor(s, folder, save));
        QCOMPARE(bytesOf(path(QStringLiteral("3"))), QByteArray("not a picture"));
        QCOMPARE(bytesOf(path(QStringLiteral("2"))), QByteArray("not a picture"));
        // C moves to 4: nobody has 2 any more, so the file moves.
        QVERIFY(s.updateContact(withId(contactNamed(QStringLiteral("C"), QStringLiteral("4")), c)));
        save = {c, false, QStringLiteral("2"), QStringLiteral("4"), std::nullopt};
        QVERIFY(savePictureFor(s, folder, save));
        QCOMPARE(bytesOf(path(QStringLiteral("4"))), QByteArray("not a picture"));
        QVERIFY(!QFile::exists(path(QStringLiteral("2"))));

        // A chosen picture is written, and the old number's file goes when unshared.
        QVERIFY(s.updateContact(withId(contactNamed(QStringLiteral("A"), QStringLiteral("5")), a)));
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        save = {a, false, QStringLiteral("1"), QStringLiteral("5"), red};
        QVERIFY(savePictureFor(s, folder, save));
        QVERIFY(loadPicture(path(QStringLiteral("5"))).has_value());
        QVERIFY(!QFile::exists(path(QStringLiteral("1"))));

        // A new contact gets the default picture, unless another has a picture under its
        // number already.
        const qint64 d =
            s.insertContact(contactNamed(QStringLiteral("D"), QStringLiteral("4"))).value_or(0);
        save = {d, true, QString(), QStringLiteral("4"), std::nullopt};
        QVERIFY(savePictureFor(s, folder, save));
        QCOMPARE(bytesOf(path(QStringLiteral("4"))), QByteArray("not a picture"));
        const qint64 e =
            s.insertContact(contactNamed(QStringLiteral("E"), QStringLiteral("6"))).value_or(0);
        save = {e, true, QString(), QStringLiteral("6"), std::nullopt};
        QVERIFY(savePictureFor(s, folder, save));
        QCOMPARE(bytesOf(path(QStringLiteral("6"))), bytesOf(defaultPicturePath(folder)));

        // A deleted contact's picture goes only with the last contact of that number.
        QVERIFY(s.deleteContact(d));
        QVERIFY(releasePicture(s, folder, QStringLiteral("4"), d));
        QVERIFY(QFile::exists(path(QStringLiteral("4"))));
        QVERIFY(s.deleteContact(c));
        QVERIFY(releasePicture(s, folder, QStringLiteral("4"), c));
        QVERIFY(!QFile::exists(path(QStringLiteral("4"))));
        // Contacts without a number share one file.
        const qint64 f = s.insertContact(contactNamed(QStringLiteral("F"), QString())).value_or(0);
        QVERIFY(env.sql("INSERT INTO Table_Contact (Name) VALUES ('no mobile')"));
        QVERIFY(writeBytes(path(QString()), "shared"));
        QVERIFY(s.deleteContact(f));
        QVERIFY(releasePicture(s, folder, QString(), f));
        QCOMPARE(bytesOf(path(QString())), QByteArray("shared"));
        QCOMPARE(s.contactsWithMobile(QString(), 0).value_or(-1), qint64(1));
    }

    // A failing engine is reported, never taken for an empty list.
    void failuresReported()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(s.insertContact(contactNamed(QStringLiteral("A"), QStringLiteral("1"))));
        QVERIFY(env.sql("DROP TABLE Table_Contact"));
        QVERIFY(!s.contactIds());
        QVERIFY(!s.searchContacts(ContactSearchColumn::Name, QStringLiteral("A")));
        QVERIFY(!s.contact(1));
        QCOMPARE(s.contact(1).error().kind, StoreError::Kind::Engine);
        QVERIFY(!s.contactMobileExists(QStringLiteral("1")).has_value());
        QVERIFY(!s.insertContact(contactNamed(QStringLiteral("B"), QStringLiteral("2"))));
        QVERIFY(!s.contactListRows({1}));
    }
};

QTEST_GUILESS_MAIN(TstContactsStore)
#include "tst_contacts_store.moc"
