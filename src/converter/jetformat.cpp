#include "converter/jetformat.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zorbin::converter {

namespace {

// The fixed key of the header's RC4 layer.
constexpr std::array<unsigned char, 4> kHeaderKey{0xc7, 0xda, 0x39, 0x6b};
constexpr int kEncodedStart = 0x18;
constexpr int kEncodedEnd = 0x98;
constexpr int kPageKeyOffset = 0x3e;
constexpr int kPasswordOffset = 0x42;
constexpr int kPasswordBytes = 40;
constexpr int kCreationDateOffset = 0x72;

void rc4(const unsigned char *key, int keyLength, unsigned char *data, int size)
{
    std::array<unsigned char, 256> s;
    for (int i = 0; i < 256; ++i)
        s[size_t(i)] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[size_t(i)] + key[i % keyLength]) & 0xff;
        std::swap(s[size_t(i)], s[size_t(j)]);
    }
    for (int n = 0, i = 0, j = 0; n < size; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[size_t(i)]) & 0xff;
        std::swap(s[size_t(i)], s[size_t(j)]);
        data[n] ^= s[size_t((s[size_t(i)] + s[size_t(j)]) & 0xff)];
    }
}

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

} // namespace

std::optional<JetHeader> readJetHeader(const QByteArray &head)
{
    if (head.size() < kEncodedEnd)
        return std::nullopt;
    JetHeader h;
    const QByteArray magic = head.mid(4, 15);
    if (magic == "Standard ACE DB")
        h.ace = true;
    else if (magic != "Standard Jet DB")
        return std::nullopt;
    h.version = static_cast<unsigned char>(head[0x14]);

    std::array<unsigned char, kEncodedEnd> page;
    std::memcpy(page.data(), head.constData(), page.size());
    rc4(kHeaderKey.data(), int(kHeaderKey.size()), page.data() + kEncodedStart,
        kEncodedEnd - kEncodedStart);
    h.encodedPages = le32(page.data() + kPageKeyOffset) != 0;

    // The password is masked with the whole days of the creation date.
    double created = 0;
    std::memcpy(&created, page.data() + kCreationDateOffset, sizeof created);
    quint32 mask = 0;
    if (std::isfinite(created) && std::fabs(created) < 2147483648.0)
        mask = quint32(qint32(created));
    const unsigned char maskBytes[4] = {
        static_cast<unsigned char>(mask), static_cast<unsigned char>(mask >> 8),
        static_cast<unsigned char>(mask >> 16), static_cast<unsigned char>(mask >> 24)};
    char16_t password[kPasswordBytes / 2];
    for (int i = 0; i < kPasswordBytes / 2; ++i) {
        const unsigned char lo = page[size_t(kPasswordOffset + 2 * i)] ^ maskBytes[(2 * i) % 4];
        const unsigned char hi =
            page[size_t(kPasswordOffset + 2 * i + 1)] ^ maskBytes[(2 * i + 1) % 4];
        password[i] = char16_t(lo | hi << 8);
    }
    int length = 0;
    while (length < kPasswordBytes / 2 && password[length] != 0)
        ++length;
    h.password = QString::fromUtf16(password, length);
    return h;
}

QString decodeJetText(const unsigned char *data, qsizetype size)
{
    if (size <= 0)
        return QStringLiteral("");
    if (size >= 2 && data[0] == 0xff && data[1] == 0xfe) {
        QString text;
        text.reserve(size);
        bool compressed = true;
        qsizetype i = 2;
        while (i < size) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text.append(QChar(char16_t(data[i])));
                ++i;
            } else if (i + 1 < size) {
                text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        return text;
    }
    QString text(size / 2, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < size / 2; ++i)
        out[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    return text;
}

} // namespace zorbin::converter
