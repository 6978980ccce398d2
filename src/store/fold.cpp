#include "store/fold.h"

namespace zorbin::store {

namespace {

constexpr char32_t kArabicYeh = 0x064A, kPersianYeh = 0x06CC;
constexpr char32_t kArabicKaf = 0x0643, kPersianKaf = 0x06A9;

// Decodes one UTF-8 sequence at p (p < end); malformed bytes decode as themselves.
char32_t decode(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char b = *p++;
    if (b < 0x80)
        return b;
    int extra = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        c = b & 0x07;
    } else {
        return 0xDC00 | b; // stray byte: keep it distinct
    }
    for (int i = 0; i < extra; ++i) {
        if (p >= end || (*p & 0xC0) != 0x80)
            return 0xDC00 | b;
        c = (c << 6) | (*p++ & 0x3F);
    }
    return c;
}

void encode(char32_t c, QByteArray &out)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

} // namespace

char32_t foldChar(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c == kArabicYeh)
        return kPersianYeh;
    if (c == kArabicKaf)
        return kPersianKaf;
    if (c >= 0x06F0 && c <= 0x06F9)
        return '0' + (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669)
        return '0' + (c - 0x0660);
    return c;
}

QByteArray foldUtf8(const QByteArray &utf8)
{
    QByteArray out;
    out.reserve(utf8.size());
    auto *p = reinterpret_cast<const unsigned char *>(utf8.constData());
    const auto *end = p + utf8.size();
    while (p < end)
        encode(foldChar(decode(p, end)), out);
    return out;
}

bool foldedStartsWith(const char *text, int textLen, const QByteArray &foldedPrefix)
{
    auto *p = reinterpret_cast<const unsigned char *>(text);
    const auto *end = p + textLen;
    auto *q = reinterpret_cast<const unsigned char *>(foldedPrefix.constData());
    const auto *qend = q + foldedPrefix.size();
    while (q < qend) {
        if (p >= end)
            return false;
        if (foldChar(decode(p, end)) != decode(q, qend))
            return false;
    }
    return true;
}

QStringList prefixVariants(const QString &prefix, int limit)
{
    QStringList variants{QString()};
    const auto codepoints = prefix.toUcs4();
    for (const char32_t raw : codepoints) {
        const char32_t c = foldChar(raw);
        QList<char32_t> forms;
        if (c == kPersianYeh)
            forms = {kPersianYeh, kArabicYeh};
        else if (c == kPersianKaf)
            forms = {kPersianKaf, kArabicKaf};
        else if (c >= '0' && c <= '9')
            forms = {c, char32_t(0x06F0 + (c - '0')), char32_t(0x0660 + (c - '0'))};
        else
            forms = {c};
        if (variants.size() * forms.size() > limit)
            break;
        QStringList next;
        next.reserve(variants.size() * forms.size());
        for (const QString &v : variants)
            for (const char32_t f : forms)
                next.append(v + QString::fromUcs4(&f, 1));
        variants = next;
    }
    return variants;
}

QByteArray prefixUpperBound(const QByteArray &lowerUtf8)
{
    QByteArray upper = lowerUtf8;
    while (!upper.isEmpty()) {
        const auto last = static_cast<unsigned char>(upper.back());
        if (last < 0xFF) {
            upper.back() = char(last + 1);
            return upper;
        }
        upper.chop(1);
    }
    return upper; // empty: no upper bound
}

} // namespace zorbin::store
