#include "helpers/storetestcase.h"
#include "store/store.h"

#include <QtTest>
#include <sqlite3.h>

using namespace zorbin::store;

namespace {

// The recovered password, "<no match>" or "<failed>".
QString recover(Store &store, const QString &question, const QString &answer)
{
    const auto r = store.recoverPassword(question, answer);
    if (!r)
        return QStringLiteral("<failed>");
    return r->value_or(QStringLiteral("<no match>"));
}

const QString kQuestion = QStringLiteral("8. نام كتاب مورد علاقتون چيه؟");

} // namespace

class TstAccounts : public StoreTestCase
{
    Q_OBJECT

private slots:

    // The change writes the three values trimmed to the first account only.
    void changeFirstAccount()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(env.sql("INSERT INTO Table_User VALUES ('second', 'p2', 'q2', 'a2')"));
        QVERIFY(s.updateFirstAccount(QStringLiteral("  abc  "), QStringLiteral(" ") + kQuestion,
                                     QStringLiteral("  Shahnameh ")));
        const QVector<UserRecord> users = s.users().value();
        QCOMPARE(users.size(), 2);
        QCOMPARE(users[0].userName, Store::defaultUserName());
        QCOMPARE(users[0].password, QStringLiteral("abc"));
        QCOMPARE(users[0].question, kQuestion);
        QCOMPARE(users[0].answer, QStringLiteral("Shahnameh"));
        QCOMPARE(users[1].password, QStringLiteral("p2"));
        QCOMPARE(users[1].answer, QStringLiteral("a2"));
    }

    // Recovery compares the trimmed question and answer exactly with the first account.
    void recovery()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        // Nothing set yet: blanks must not reveal the password.
        QCOMPARE(recover(s, QStringLiteral(""), QStringLiteral("")), QStringLiteral("<no match>"));
        QCOMPARE(recover(s, QStringLiteral(" "), QStringLiteral(" ")),
                 QStringLiteral("<no match>"));

        QVERIFY(s.updateFirstAccount(QStringLiteral("secret"), kQuestion, QStringLiteral("Book")));
        QCOMPARE(recover(s, kQuestion, QStringLiteral("Book")), QStringLiteral("secret"));
        QCOMPARE(recover(s, QStringLiteral("  ") + kQuestion + QStringLiteral(" "),
                         QStringLiteral("  Book  ")),
                 QStringLiteral("secret"));
        QCOMPARE(recover(s, kQuestion, QStringLiteral("book")), QStringLiteral("<no match>"));
        QCOMPARE(recover(s, kQuestion.mid(3), QStringLiteral("Book")),
                 QStringLiteral("<no match>"));
        QCOMPARE(recover(s, kQuestion, QStringLiteral("Boo k")), QStringLiteral("<no match>"));

        // A NULL stored answer never matches, not even an empty one.
        QVERIFY(env.sql("UPDATE Table_User SET Answer = NULL"));
        QCOMPARE(recover(s, kQuestion, QStringLiteral("")), QStringLiteral("<no match>"));
        QCOMPARE(recover(s, kQuestion, QStringLiteral("Book")), QStringLiteral("<no match>"));
    }

    // Without an account nothing can be changed or recovered; a broken table is reported.
    void noAccount()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        QVERIFY(env.sql("DELETE FROM Table_User"));
        const auto changed = s.updateFirstAccount("a", "b", "c");
        QVERIFY(!changed);
        QCOMPARE(changed.error().kind, StoreError::Kind::NotFound);
        QCOMPARE(recover(s, "b", "c"), QStringLiteral("<no match>"));
        QVERIFY(env.sql("DROP TABLE Table_User"));
        QCOMPARE(recover(s, "b", "c"), QStringLiteral("<failed>"));
        QCOMPARE(s.updateFirstAccount("a", "b", "c").error().kind, StoreError::Kind::Engine);
    }

    // The three counts follow what is stored; a failure is not a zero.
    void counts()
    {
        TestStore &env = *m_env;
        Store &s = *env.store;
        auto counts = s.recordCounts();
        QVERIFY(counts);
        QCOMPARE((QList<qint64>{counts->sites, counts->categories, counts->contacts}),
                 (QList<qint64>{0, 0, 0}));
        env.addSite(QStringLiteral("a"));
        env.addSite(QStringLiteral("b"));
        env.addCategory(QStringLiteral("news"));
        ContactRecord c;
        c.name = QStringLiteral("x");
        QVERIFY(s.insertContact(c));
        QVERIFY(s.insertContact(c));
        QVERIFY(s.insertContact(c));
        counts = s.recordCounts();
        QVERIFY(counts);
        QCOMPARE((QList<qint64>{counts->sites, counts->categories, counts->contacts}),
                 (QList<qint64>{2, 1, 3}));
        QVERIFY(env.sql("DROP TABLE Table_Category"));
        QVERIFY(!s.recordCounts());
    }
};

QTEST_GUILESS_MAIN(TstAccounts)
#include "tst_accounts.moc"
