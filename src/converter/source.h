#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace zorbin::converter {

// The passwords of the two releases' database files.
inline constexpr char kVersion1Password[] = "#rKt5W^3HbQmX8d";
inline constexpr char kVersion2Password[] = "$19!*85&=7^2046";

// Why a file is refused, told apart so that each cause gets its own message.
struct Refusal
{
    enum class Kind {
        Damaged,         // a database of a known kind whose content cannot all be read
        NotADatabase,    // no database at all
        WrongPassword,   // a database whose password is not that of Zorbin's files
        AlreadyVersion2, // a database of the current format, which Zorbin restores itself
        Other,           // anything else: no such file, a missing table, ZBDB.mdb...
    };
    Kind kind = Kind::Other;
    // What is wrong, in English (lines joined by CR LF).
    QString text;
    // The text alone, where only the text matters.
    operator const QString &() const { return text; }
};

// The outcome of one of the converter's calls: the value, or why it failed.
template <class T> using Result = store::Result<T, Refusal>;

// The records of one source table, read front to back one at a time, so that a large
// table never sits in memory whole.
class SourceCursor
{
public:
    virtual ~SourceCursor() = default;
    // Fills `values` with the next record's fields in the order they were asked for,
    // each in its text form, null as empty text. False at the end, or when the record
    // cannot be read; then error() says why.
    virtual bool next(std::vector<QString> &values) = 0;
    virtual QString error() const = 0;
};

// A version 1.0 database (or a version 2.0 Access backup) opened for reading. Nothing
// is ever written to it.
class Source
{
public:
    virtual ~Source() = default;
    // What kind of file this is, for messages: "Access (Jet 4) file", ...
    virtual QString kind() const = 0;
    // The table's field names in stored order, or nothing when there is no such table.
    virtual std::optional<QStringList> fields(const QString &table) = 0;
    // Reads the table's `fields` (names as fields() gives them). A failure is of kind
    // Other, its text saying what is missing.
    virtual Result<std::unique_ptr<SourceCursor>> read(const QString &table,
                                                       const QStringList &fields) = 0;
};

// Opens the file at `path`, telling the kinds apart by their content: an Access (Jet 4)
// file with the version 1.0 or 2.0 password, or an encrypted database of the current
// engine with the version 1.0 password. A failure says why.
Result<std::unique_ptr<Source>> openSource(const QString &path);

// The Access reader alone, on a file or on bytes in memory (the latter for the fuzzer).
// With `zorbinOnly` a file whose password is not one of Zorbin's is refused.
Result<std::unique_ptr<Source>> openJetFile(const QString &path, bool zorbinOnly = true);
Result<std::unique_ptr<Source>> openJetBuffer(const QByteArray &bytes, bool zorbinOnly = true);
// The encrypted-database reader alone.
Result<std::unique_ptr<Source>> openCipherFile(const QString &path);

} // namespace zorbin::converter
