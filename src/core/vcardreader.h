#pragma once

#include "core/textfilereader.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace zorbin::core {

// One vCard as read: the properties the phone book can hold, decoded.
struct VCard
{
    struct Phone
    {
        QStringList types; // lower case: "cell", "home", "work", "voice", ...
        QString number;
    };

    qint64 line = 0;               // where BEGIN:VCARD stands
    QString formattedName;         // FN
    QStringList name;              // N: family, given, additional, prefixes, suffixes
    QList<Phone> phones;           // TEL, in file order
    QStringList emails;            // EMAIL
    QString url;                   // URL
    QString title;                 // TITLE
    QString role;                  // ROLE
    QString organisation;          // ORG, its parts joined by ", "
    QStringList categories;        // CATEGORIES
    QString address;               // ADR, its parts joined by ", "; LABEL when there is no ADR
    QByteArray photo;              // PHOTO given inside the card (base64 or a data: address)
    bool addressFromLabel = false; // `address` came from LABEL, an ADR replaces it
    bool unreadableText = false;   // a value in a character set other than UTF-8 or Latin-1
    bool malformed = false;        // a line that is no property, or a broken encoding
};

// Reads vCard files (2.1, 3.0 and 4.0) one card at a time: folded lines, quoted-printable
// values with soft line breaks, escaped texts, base64 and data: pictures. Holds one card
// at a time.
class VCardReader
{
public:
    enum class Problem {
        None,
        CannotRead,
        Binary,
        NotUnicode,
        TooLong,   // a card longer than kMaxCardBytes
        NoCard,    // the file holds no BEGIN:VCARD
        Unfinished // a card without END:VCARD
    };
    static constexpr qsizetype kMaxCardBytes = 32 * 1024 * 1024;

    explicit VCardReader(const QString &path);
    explicit VCardReader(QIODevice *device);

    // The next card; false at the end of the file and on a problem.
    bool next(VCard &card);

    Problem problem() const { return m_problem; }
    qint64 problemLine() const { return m_problemLine; }
    const TextFileReader &text() const { return m_text; }

private:
    bool physicalLine(QByteArray &line, qint64 &number);
    bool logicalLine(QByteArray &line, qint64 &number);
    bool fail(Problem problem, qint64 line);

    TextFileReader m_text;
    QByteArray m_pending; // a physical line read ahead
    bool m_hasPending = false;
    qint64 m_pendingNumber = 0;
    bool m_sawCard = false;
    Problem m_problem = Problem::None;
    qint64 m_problemLine = 0;
};

} // namespace zorbin::core
