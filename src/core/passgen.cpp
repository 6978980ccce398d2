#include "core/passgen.h"

#include "store/text.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zorbin::core {

QString classCharacters(CharClass c, const QString &other)
{
    switch (c) {
    case Digits:
        return QStringLiteral("0123456789");
    case SmallLetters:
        return QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    case CapitalLetters:
        return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    case OtherCharacters:
    case ClassCount:
        break;
    }
    return other;
}

QString defaultOtherCharacters()
{
    return QStringLiteral("!@#$%^&*-_=");
}

QString buildAlphabet(const ClassChoice &checked, const QString &other)
{
    QString alphabet;
    for (int c = 0; c < ClassCount; ++c)
        if (checked[size_t(c)])
            alphabet += classCharacters(CharClass(c), other);
    return alphabet;
}

std::optional<int> acceptedLength(const QString &text)
{
    // Compared as text, exactly as typed: "06" and " 7" are not lengths.
    for (int n = 6; n <= 33; ++n)
        if (text == QString::number(n))
            return n;
    return std::nullopt;
}

std::expected<QString, GenerateError>
generatorAlphabet(const QString &lengthText, const ClassChoice &checked, const QString &other)
{
    if (store::trimBlanks(lengthText).isEmpty())
        return std::unexpected(GenerateError::NoLength);
    if (std::find(checked.begin(), checked.end(), true) == checked.end())
        return std::unexpected(GenerateError::NoClass);
    const QString alphabet = buildAlphabet(checked, other);
    if (alphabet.isEmpty())
        return std::unexpected(GenerateError::EmptyAlphabet);
    return alphabet;
}

quint32 uniformBelow(quint32 bound, const RandomSource &source)
{
    if (bound <= 1)
        return 0;
    auto next = [&]() -> quint32 {
        return source ? source() : QRandomGenerator::system()->generate();
    };
    // Lemire's multiply-and-reject: draws whose low half falls in the short first stretch
    // are drawn again, so every result is exactly equally likely (no modulo bias).
    quint64 m = quint64(next()) * bound;
    auto low = quint32(m);
    if (low < bound) {
        const quint32 threshold = quint32(-bound) % bound;
        while (low < threshold) {
            m = quint64(next()) * bound;
            low = quint32(m);
        }
    }
    return quint32(m >> 32);
}

std::optional<QString> drawPassword(const QString &alphabet, int length, const RandomSource &source)
{
    const auto positions = alphabet.toUcs4();
    if (positions.isEmpty() || length < 1)
        return std::nullopt;
    QString password;
    password.reserve(length * 2);
    for (int i = 0; i < length; ++i) {
        const char32_t c = positions[qsizetype(uniformBelow(quint32(positions.size()), source))];
        password += QString::fromUcs4(&c, 1);
    }
    return password;
}

std::expected<void, QString> appendPasswordLine(const QString &path, const QString &password)
{
    const QByteArray line = '"' + password.toUtf8() + "\"\r\n";
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    auto error = [&] {
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") +
               QString::fromLocal8Bit(std::strerror(errno));
    };
    if (fd < 0)
        return std::unexpected(error());
    // One write call: appended lines of two savers never interleave.
    const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    if (written != ssize_t(line.size())) {
        const QString words = written < 0 ? error() : QStringLiteral("short write to ") + path;
        ::close(fd);
        return std::unexpected(words);
    }
    if (::close(fd) != 0)
        return std::unexpected(error());
    return {};
}

} // namespace zorbin::core
