#pragma once

#include <QString>
#include <array>
#include <expected>
#include <functional>
#include <optional>

namespace zorbin::core {

// The password generator's logic: the alphabet from the chosen classes, the accepted
// lengths, the drawing and the saved-password file.

// The four character classes, in the order their characters join the alphabet.
enum CharClass : int { Digits = 0, SmallLetters, CapitalLetters, OtherCharacters, ClassCount };

using ClassChoice = std::array<bool, ClassCount>;

// The characters a class contributes; OtherCharacters gives `other` unaltered.
QString classCharacters(CharClass c, const QString &other);

// The other characters offered when the window opens.
QString defaultOtherCharacters();

// The alphabet: the characters of the checked classes, in class order. Nothing is removed,
// so a character that appears twice is drawn twice as often.
QString buildAlphabet(const ClassChoice &checked, const QString &other);

// The lengths the length box accepts: exactly the texts "6" to "33" (no blanks, no leading
// zero); anything else gives nothing.
std::optional<int> acceptedLength(const QString &text);

// What the generate command found wrong before drawing, in the order it checks.
enum class GenerateError {
    NoLength,     // the length box holds only blanks
    NoClass,      // no class is checked
    EmptyAlphabet // only the other characters are checked and their box is empty
};

// The checks of the generate command on the length box's text and the classes, then the
// alphabet to draw from.
std::expected<QString, GenerateError>
generatorAlphabet(const QString &lengthText, const ClassChoice &checked, const QString &other);

// A uniform whole number in [0, bound) for bound >= 1. The default source is the system's
// cryptographic random generator; tests may pass their own 32-bit source.
using RandomSource = std::function<quint32()>;
quint32 uniformBelow(quint32 bound, const RandomSource &source = {});

// A password of `length` characters, each drawn independently and uniformly from the
// positions of `alphabet` (characters outside the basic plane count as one). An empty
// alphabet or a length below 1 gives nothing; it never loops.
std::optional<QString> drawPassword(const QString &alphabet, int length,
                                    const RandomSource &source = {});

// Appends `password` enclosed in double quotes, then CR LF, to the file at `path` (UTF-8),
// creating it 0600 when missing; the lines already there stay. A quote inside the password
// is written unchanged. On failure, the system's words.
std::expected<void, QString> appendPasswordLine(const QString &path, const QString &password);

} // namespace zorbin::core
