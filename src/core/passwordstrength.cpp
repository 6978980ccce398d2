#include "core/passwordstrength.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cmath>
#include <zxcvbn.h>

namespace zorbin::core {

namespace {

// The least bits for levels 1 to 4. Below 28 bits a password falls to an online guesser
// in days; 100 bits and more stand up to any offline attack on a stolen file.
constexpr std::array<double, PasswordStrength::kLevels - 1> kLevelBits = {28, 40, 64, 100};

// Overwrites a copy of a password before its memory goes back to the heap.
void wipe(QByteArray &bytes)
{
    volatile char *p = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        p[i] = 0;
}

} // namespace

Strength PasswordStrength::estimate(const QString &password)
{
    if (password.isEmpty())
        return {};
    QByteArray utf8 = password.toUtf8();
    const double bits = std::max(0.0, ZxcvbnMatch(utf8.constData(), nullptr, nullptr));
    wipe(utf8);
    return {bits, level(bits)};
}

int PasswordStrength::level(double bits)
{
    return int(std::upper_bound(kLevelBits.begin(), kLevelBits.end(), bits) - kLevelBits.begin());
}

QString PasswordStrength::word(int level)
{
    static const std::array<QString, kLevels> words = {
        QStringLiteral("خيلي ضعيف"), QStringLiteral("ضعيف"), QStringLiteral("متوسط"),
        QStringLiteral("قوي"), QStringLiteral("خيلي قوي")};
    return words[std::clamp(level, 0, kLevels - 1)];
}

QString PasswordStrength::describe(const Strength &strength)
{
    return word(strength.level) + QStringLiteral(" (") +
           QString::number(std::lround(strength.bits)) + QStringLiteral(" بيت)");
}

} // namespace zorbin::core
