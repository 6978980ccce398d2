#pragma once

#include <QString>

namespace zorbin::core {

// How hard a password is to guess, as the zxcvbn estimator judges it: the estimated
// entropy in bits and one of five levels, 0 (very weak) to 4 (very strong).
struct Strength
{
    double bits = 0;
    int level = 0;
};

class PasswordStrength
{
public:
    static constexpr int kLevels = 5;

    // The estimate for `password`; an empty password is level 0 with no bits. Takes well
    // under a millisecond for anything a person types or the generator makes.
    static Strength estimate(const QString &password);
    // The level that `bits` of entropy reach.
    static int level(double bits);
    // The word shown for a level, from "خيلي ضعيف" to "خيلي قوي".
    static QString word(int level);
    // The word and the bits, as the strength bar writes them.
    static QString describe(const Strength &strength);
};

} // namespace zorbin::core
