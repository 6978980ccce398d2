#include "core/passgen.h"
#include "helpers/testfiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace zorbin::core;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TstPassgen : public QObject
{
    Q_OBJECT

private slots:
    // The length box accepts exactly the texts "6" to "33".
    void lengths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length"); // 0: refused
        QTest::newRow("6") << "6" << 6;
        QTest::newRow("10") << "10" << 10;
        QTest::newRow("33") << "33" << 33;
        QTest::newRow("5") << "5" << 0;
        QTest::newRow("34") << "34" << 0;
        QTest::newRow("06") << "06" << 0;
        QTest::newRow("space 7") << " 7" << 0;
        QTest::newRow("7 space") << "7 " << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("abc") << "abc" << 0;
        QTest::newRow("+7") << "+7" << 0;
        QTest::newRow("persian 7") << QStringLiteral("۷") << 0;
    }
    void lengths()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QCOMPARE(acceptedLength(text).value_or(0), length);
    }

    // The alphabet joins the checked classes in index order, keeping doubles.
    void alphabet()
    {
        const QString digits = QStringLiteral("0123456789");
        const QString small = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        const QString capital = small.toUpper();
        QCOMPARE(buildAlphabet({true, false, true, false}, QStringLiteral("!!")), digits + capital);
        QCOMPARE(buildAlphabet({true, true, true, true}, QStringLiteral("aa\"")),
                 digits + small + capital + QStringLiteral("aa\""));
        QCOMPARE(buildAlphabet({false, false, false, false}, QStringLiteral("x")), QString());
        // The other characters offered on opening, as the generator has always offered them.
        QCOMPARE(buildAlphabet({false, false, false, true}, defaultOtherCharacters()),
                 QStringLiteral("!@#$%^&*-_="));
    }

    // The generate command's checks, in order, before anything is drawn.
    void generateChecks()
    {
        using E = GenerateError;
        const ClassChoice none{false, false, false, false};
        const ClassChoice onlyOther{false, false, false, true};
        QCOMPARE(generatorAlphabet(QStringLiteral("  "), none, QString()).error(), E::NoLength);
        QCOMPARE(generatorAlphabet(QStringLiteral("10"), none, QStringLiteral("x")).error(),
                 E::NoClass);
        QCOMPARE(generatorAlphabet(QStringLiteral("10"), onlyOther, QString()).error(),
                 E::EmptyAlphabet);
        QCOMPARE(*generatorAlphabet(QStringLiteral("10"), onlyOther, QStringLiteral("ab")),
                 QStringLiteral("ab"));
    }

    // Passwords have the asked length and only the alphabet's characters; an empty alphabet
    // ends at once.
    void drawing()
    {
        for (const int length : {6, 10, 33}) {
            const auto p = drawPassword(QStringLiteral("ab"), length);
            QVERIFY(p);
            QCOMPARE(p->size(), length);
            for (const QChar c : *p)
                QVERIFY(c == u'a' || c == u'b');
        }
        // A character outside the basic plane is one position, never split.
        const auto emoji = drawPassword(QStringLiteral("\U0001F511"), 3);
        QCOMPARE(*emoji, QStringLiteral("\U0001F511\U0001F511\U0001F511"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!drawPassword(QString(), 10));
        QVERIFY(!drawPassword(QStringLiteral("ab"), 0));
        QVERIFY(timer.elapsed() < 1000);
        // Drawn from the system source: no two of many passwords made at once are equal.
        QSet<QString> seen;
        for (int i = 0; i < 2000; ++i)
            seen.insert(*drawPassword(buildAlphabet({true, true, true, false}, QString()), 10));
        QCOMPARE(seen.size(), 2000);
    }

    // The bounded draw rejects the values that would favour small results.
    void noModuloBias()
    {
        // For a bound of 3 the draw 0 falls in the rejected stretch; a plain multiply or
        // modulo would answer 0 from it.
        QList<quint32> script{0u, 0x80000000u};
        int used = 0;
        const RandomSource scripted = [&] { return script[used++]; };
        QCOMPARE(uniformBelow(3, scripted), 1u);
        QCOMPARE(used, 2);
        // Across the whole 32-bit range the results split evenly.
        used = 0;
        script = {0xFFFFFFFFu};
        QCOMPARE(uniformBelow(3, scripted), 2u);
        QCOMPARE(uniformBelow(1, scripted), 0u);
    }

    // Over many draws every position of the alphabet comes up, and a character written
    // twice comes up about twice as often. Tolerances are many standard deviations wide.
    void statistics()
    {
        const QString alphabet = buildAlphabet({true, true, true, true}, defaultOtherCharacters());
        const int positions = int(alphabet.size()); // 73, all distinct
        const int draws = 60000;
        QHash<QChar, int> counts;
        const QString many = *drawPassword(alphabet, draws);
        for (const QChar c : many)
            ++counts[c];
        QCOMPARE(counts.size(), positions);
        const double expected = double(draws) / positions; // about 822, sd about 28
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            QVERIFY2(it.value() > expected - 250 && it.value() < expected + 250,
                     qPrintable(QStringLiteral("%1 drawn %2 times").arg(it.key()).arg(it.value())));

        const QString doubled = *drawPassword(QStringLiteral("aab"), draws);
        const double a = doubled.count(u'a'), b = doubled.count(u'b');
        QCOMPARE(a + b, double(draws));
        QVERIFY2(a / b > 1.85 && a / b < 2.15, qPrintable(QString::number(a / b)));
    }

    // Saving appends the quoted password and CR LF; the file is made 0600.
    void appendToFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("passwords.txt"));
        QVERIFY(appendPasswordLine(path, QStringLiteral("Ab\"1")));
        QVERIFY(appendPasswordLine(path, QStringLiteral("Ab\"1")));
        QCOMPARE(contents(path), QByteArray("\"Ab\"1\"\r\n\"Ab\"1\"\r\n"));
        QCOMPARE(fileMode(path), 0600);

        // Lines already there stay, and so do the file's own permissions.
        const QString old = dir.filePath(QStringLiteral("old.dat"));
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("first\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(appendPasswordLine(old, QStringLiteral("رمز")));
        QCOMPARE(contents(old),
                 QByteArray("first\n\"") + QStringLiteral("رمز").toUtf8() + "\"\r\n");
        QCOMPARE(fileMode(old), 0640);

        const auto failed = appendPasswordLine(dir.filePath(QStringLiteral("no/such.txt")), "x");
        QVERIFY(!failed);
        QVERIFY(!failed.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstPassgen)
#include "tst_passgen.moc"
