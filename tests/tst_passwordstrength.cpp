#include "core/passwordstrength.h"

#include <QtTest>

using zorbin::core::PasswordStrength;

class TstPasswordStrength : public QObject
{
    Q_OBJECT

private slots:
private slots:
    // Known weak passwords are very weak, long random ones very strong, and the words and
    // bits are those the bar shows.
    void strengthOfKnownPasswords()
    {
        for (const char *weak : {"password", "123456", "qwerty", "P@ssw0rd", "aaaaaaaaaaaa"})
            QCOMPARE(PasswordStrength::estimate(QString::fromLatin1(weak)).level, 0);
        for (const char *strong :
             {"Xk9#mQ2!vL7$pR4@wZ8^nB3&jT6*hF1%s", "q8W!zr4TfY2#mKp9Lx7@Vb3N"}) {
            const auto s = PasswordStrength::estimate(QString::fromLatin1(strong));
            QCOMPARE(s.level, 4);
            QVERIFY(s.bits >= 100);
        }
        // A passphrase of four common words sits in the middle.
        QCOMPARE(PasswordStrength::estimate(QStringLiteral("correcthorsebatterystaple")).level, 2);
        QCOMPARE(PasswordStrength::estimate(QString()).bits, 0.0);

        QCOMPARE(PasswordStrength::level(27.9), 0);
        QCOMPARE(PasswordStrength::level(28), 1);
        QCOMPARE(PasswordStrength::level(99.9), 3);
        QCOMPARE(PasswordStrength::word(0), QStringLiteral("خيلي ضعيف"));
        QCOMPARE(PasswordStrength::word(4), QStringLiteral("خيلي قوي"));
        QCOMPARE(PasswordStrength::describe({63.6, 2}), QStringLiteral("متوسط (64 بيت)"));
    }
};

QTEST_MAIN(TstPasswordStrength)
#include "tst_passwordstrength.moc"
