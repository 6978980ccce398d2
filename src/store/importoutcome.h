#pragma once

#include "store/result.h"

#include <QList>
#include <QString>
#include <array>
#include <expected>
#include <functional>

namespace zorbin::store {

// Why one row of a site file, or one card of a contact file, is not added.
enum class Refusal {
    NoTitle,      // neither a title nor an address with a host name
    TitleStored,  // a site of that title is stored already
    Malformed,    // a row whose fields do not match the header, a broken card
    FieldTooLong, // a field longer than kMaxImportedField characters
    UnknownText,  // a card value in a character set other than UTF-8
    NoName,       // a card without a name
    MobileStored, // a contact with that mobile number is stored already
    NotPicture,   // a card's picture is no image
    Count
};

// The longest field an import takes; longer ones are a file meant for something else.
inline constexpr qsizetype kMaxImportedField = 10'000;

struct RefusedRow
{
    qint64 line = 0;
    Refusal reason = Refusal::Malformed;
    QString text; // the title or name the row carries, when it has one
};

// What an import adds and what it refuses. The refused rows themselves are kept only up
// to kKeptRefusals; the counts are whole.
struct ImportOutcome
{
    static constexpr int kKeptRefusals = 500;

    qint64 added = 0;
    qint64 refused = 0;
    std::array<qint64, size_t(Refusal::Count)> byReason{};
    QList<RefusedRow> refusals;
    qint64 subjectsAdded = 0; // sites: subjects made for groups not stored yet
    qint64 pictures = 0;      // contacts: pictures taken from the cards

    void refuse(qint64 line, Refusal reason, const QString &text = QString());
};

// Why a whole file is not imported. Nothing of it is written then.
struct ImportFailure
{
    enum class Kind {
        CannotRead,
        Empty,      // no rows, or no cards
        NoHeader,   // the first row names no columns
        NoColumns,  // neither a title nor an address column is chosen
        Binary,     // not a text file
        NotUnicode, // text in an ANSI code page such as Windows-1256
        TooLong,    // a line or card too long for any real export
        Malformed,  // a stray or unclosed quote
        NoCard,     // a file without vCards
        Unfinished, // a vCard without its end
        Changed,    // the file changed between the preview and the import
        Cancelled,  // the user stopped it
        Store,      // the database refused
        Pictures    // a picture could not be written
    };
    Kind kind = Kind::CannotRead;
    qint64 line = 0;
    StoreError error = {}; // Store and Pictures
};

using ImportResult = std::expected<ImportOutcome, ImportFailure>;
// Called now and then with the bytes read and the file's size; false stops the import.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// The Persian words for a refusal, and for a failed file (ending in what became of the
// database).
QString refusalText(Refusal reason);
QString failureMessage(const ImportFailure &failure);

} // namespace zorbin::store
