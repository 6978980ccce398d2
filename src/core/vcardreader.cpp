#include "core/vcardreader.h"

#include <QStringDecoder>

namespace zorbin::core {

namespace {

struct Property
{
    QByteArray name; // upper case, without its group
    QStringList types;
    QByteArray encoding; // lower case
    QByteArray charset;  // lower case
    QByteArray value;
};

// Splits `text` at `separator` where no double quote is open.
QList<QByteArray> splitOutsideQuotes(const QByteArray &text, char separator)
{
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.append(text.mid(from, i - from));
            from = i + 1;
        }
    }
    parts.append(text.mid(from));
    return parts;
}

QByteArray unquoted(QByteArray text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return text.mid(1, text.size() - 2);
    return text;
}

bool parseProperty(const QByteArray &line, Property &property)
{
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return false;
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.first().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1);
    property.name = name;
    property.value = line.mid(colon + 1);
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QByteArray &param = head[i];
        const qsizetype eq = param.indexOf('=');
        const QByteArray key = (eq < 0 ? QByteArray() : param.left(eq)).trimmed().toLower();
        const QByteArray value = eq < 0 ? param.trimmed() : param.mid(eq + 1);
        if (key.isEmpty() || key == "type") {
            // 2.1 names the type or the encoding alone: TEL;CELL, PHOTO;BASE64
            const QByteArray lower = unquoted(value).toLower();
            if (key.isEmpty() && (lower == "quoted-printable" || lower == "base64" || lower == "b"))
                property.encoding = lower;
            else
                for (const QByteArray &type : splitOutsideQuotes(lower, ','))
                    if (!unquoted(type).isEmpty())
                        property.types.append(QString::fromUtf8(unquoted(type)));
        } else if (key == "encoding") {
            property.encoding = unquoted(value).toLower();
        } else if (key == "charset") {
            property.charset = unquoted(value).toLower();
        }
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray quotedPrintable(const QByteArray &value, bool *broken)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '=') {
            out.append(value[i]);
            continue;
        }
        const int high = i + 1 < value.size() ? hexDigit(value[i + 1]) : -1;
        const int low = i + 2 < value.size() ? hexDigit(value[i + 2]) : -1;
        if (high < 0 || low < 0) {
            *broken = true;
            continue;
        }
        out.append(char(high * 16 + low));
        i += 2;
    }
    return out;
}

// Splits a text value at unescaped `separator` (0: not at all) and undoes the escapes
// \\, \n, \N, \, and \; in each part.
QStringList unescapedParts(const QString &text, QChar separator)
{
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar n = text[++i];
            part.append(n == u'n' || n == u'N' ? QChar(u'\n') : n);
        } else if (separator != QChar() && c == separator) {
            parts.append(part);
            part.clear();
        } else {
            part.append(c);
        }
    }
    parts.append(part);
    return parts;
}

QString joinedParts(const QStringList &parts)
{
    QStringList kept;
    for (const QString &part : parts)
        if (!part.trimmed().isEmpty())
            kept.append(part);
    return kept.join(QStringLiteral(", "));
}

QByteArray withoutWhitespace(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (const char c : value)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            out.append(c);
    return out;
}

// The picture a PHOTO value carries inside the card; nothing for a link to one elsewhere.
QByteArray embeddedPicture(const Property &property)
{
    if (property.encoding == "b" || property.encoding == "base64") {
        const QByteArray compact = withoutWhitespace(property.value);
        auto decoded =
            QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? *decoded : compact;
    }
    if (property.value.startsWith("data:")) {
        const qsizetype comma = property.value.indexOf(',');
        if (comma < 0)
            return property.value;
        const QByteArray data = withoutWhitespace(property.value.mid(comma + 1));
        if (!property.value.left(comma).endsWith(";base64"))
            return QByteArray::fromPercentEncoding(data);
        auto decoded =
            QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? *decoded : data;
    }
    return {};
}

void apply(const Property &property, VCard &card)
{
    if (property.name == "PHOTO") {
        const QByteArray picture = embeddedPicture(property);
        if (!picture.isEmpty() && card.photo.isEmpty())
            card.photo = picture;
        return;
    }
    QByteArray bytes = property.value;
    if (property.encoding == "quoted-printable")
        bytes = quotedPrintable(bytes, &card.malformed);
    QString text;
    if (property.charset.isEmpty() || property.charset == "utf-8" || property.charset == "utf8" ||
        property.charset == "us-ascii") {
        QStringDecoder utf8(QStringConverter::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError())
            card.unreadableText = true;
    } else if (property.charset == "iso-8859-1" || property.charset == "latin1") {
        text = QString::fromLatin1(bytes);
    } else {
        card.unreadableText = true;
        return;
    }
    const QByteArray &name = property.name;
    if (name == "FN") {
        card.formattedName = unescapedParts(text, {}).first();
    } else if (name == "N") {
        card.name = unescapedParts(text, u';');
    } else if (name == "TEL") {
        QString number = unescapedParts(text, {}).first();
        if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
            number = number.mid(4);
        QStringList types;
        for (const QString &type : property.types)
            types.append(type.toLower());
        card.phones.append({types, number});
    } else if (name == "EMAIL") {
        card.emails.append(unescapedParts(text, {}).first());
    } else if (name == "URL") {
        if (card.url.isEmpty())
            card.url = unescapedParts(text, {}).first();
    } else if (name == "TITLE") {
        card.title = unescapedParts(text, {}).first();
    } else if (name == "ROLE") {
        card.role = unescapedParts(text, {}).first();
    } else if (name == "ORG") {
        card.organisation = joinedParts(unescapedParts(text, u';'));
    } else if (name == "CATEGORIES") {
        card.categories = unescapedParts(text, u',');
    } else if (name == "ADR") {
        if (card.address.isEmpty() || card.addressFromLabel)
            card.address = joinedParts(unescapedParts(text, u';'));
        card.addressFromLabel = false;
    } else if (name == "LABEL") {
        if (card.address.isEmpty()) {
            card.address = unescapedParts(text, {}).first();
            card.addressFromLabel = true;
        }
    }
}

bool isWord(const QByteArray &line, const char *word)
{
    return line.trimmed().compare(word, Qt::CaseInsensitive) == 0;
}

} // namespace

VCardReader::VCardReader(const QString &path) : m_text(path)
{
    m_text.setLineCheck(false);
}

VCardReader::VCardReader(QIODevice *device) : m_text(device)
{
    m_text.setLineCheck(false);
}

bool VCardReader::fail(Problem problem, qint64 line)
{
    m_problem = problem;
    m_problemLine = line;
    return false;
}

bool VCardReader::physicalLine(QByteArray &line, qint64 &number)
{
    if (m_hasPending) {
        line = std::move(m_pending);
        number = m_pendingNumber;
        m_hasPending = false;
        return true;
    }
    if (!m_text.readLine(line))
        return false;
    number = m_text.lineNumber();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return true;
}

// A content line with its folded continuations and quoted-printable soft breaks joined.
bool VCardReader::logicalLine(QByteArray &line, qint64 &number)
{
    if (!physicalLine(line, number))
        return false;
    const qsizetype colon = line.indexOf(':');
    const bool quotedPrintable =
        colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
    QByteArray next;
    qint64 nextNumber = 0;
    for (;;) {
        if (line.size() > kMaxCardBytes)
            return fail(Problem::TooLong, number);
        if (quotedPrintable && line.endsWith('=')) {
            if (!physicalLine(next, nextNumber))
                break;
            line.chop(1);
            line.append(next.startsWith(' ') || next.startsWith('\t') ? next.mid(1) : next);
            continue;
        }
        if (!physicalLine(next, nextNumber))
            break;
        if (next.startsWith(' ') || next.startsWith('\t')) {
            line.append(QByteArrayView(next).sliced(1));
            continue;
        }
        m_pending = std::move(next);
        m_pendingNumber = nextNumber;
        m_hasPending = true;
        break;
    }
    // Folding may cut a character in two: the joined line must be whole UTF-8.
    if (!TextFileReader::isUtf8(line))
        return fail(Problem::NotUnicode, number);
    return true;
}

bool VCardReader::next(VCard &card)
{
    if (m_problem != Problem::None)
        return false;
    QByteArray line;
    qint64 number = 0;
    bool inCard = false;
    qsizetype cardBytes = 0;
    while (logicalLine(line, number)) {
        if (!inCard) {
            if (isWord(line, "BEGIN:VCARD")) {
                card = VCard{};
                card.line = number;
                inCard = true;
                m_sawCard = true;
                cardBytes = 0;
            }
            continue; // anything between cards is ignored
        }
        cardBytes += line.size();
        if (cardBytes > kMaxCardBytes)
            return fail(Problem::TooLong, card.line);
        if (isWord(line, "END:VCARD"))
            return true;
        if (line.trimmed().isEmpty())
            continue;
        if (isWord(line, "BEGIN:VCARD")) {
            card.malformed = true; // a card inside a card (2.1 AGENT) is not read
            continue;
        }
        Property property;
        if (!parseProperty(line, property)) {
            card.malformed = true;
            continue;
        }
        apply(property, card);
    }
    if (m_problem != Problem::None)
        return false;
    if (const auto problem = TextFileReader::as<Problem>(m_text.problem());
        problem != Problem::None)
        return fail(problem, m_text.problemLine());
    if (inCard)
        return fail(Problem::Unfinished, card.line);
    if (!m_sawCard)
        return fail(Problem::NoCard, 1);
    return false;
}

} // namespace zorbin::core
