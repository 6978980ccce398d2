#pragma once

#include <QString>
#include <expected>
#include <type_traits>
#include <utility>

namespace zorbin::store {

// Why one store call failed; `detail` carries the engine's own words. The window that made
// the call says what it was doing; the two are joined into the user's message in one place.
struct StoreError
{
    enum class Kind {
        Engine,   // the engine refused or failed the statement
        NotFound, // the record meant by an ID is not there (deleted meanwhile)
        Busy,     // another program held the database longer than the busy wait
        Io,       // a file beside the database could not be read or written
        // Why a database file cannot be used; each has its own message (openErrorMessage).
        CannotCreate,  // no file and none could be made (read-only folder, full disk)
        NotReadable,   // no permission to read the file
        ReadOnly,      // file or folder cannot be written
        OldFormat,     // a database of the previous version
        NotEncrypted,  // an SQLite file without the password
        WrongPassword, // encrypted with another password, or not a database at all
        MissingTable,  // a table is missing (`detail` names it)
        WrongColumns,  // a table lacks a column or has them in another order (named)
        BadConnection, // the connection text names no file
        IsFolder,      // a folder stands where the database file should be
        NotOpened      // anything else the engine reported while opening or checking it
    };

    Kind kind = Kind::Engine;
    QString detail;

    // Whether the file itself was found unusable (one of the kinds above from CannotCreate
    // on), rather than a call on a usable database failing.
    bool isOpenError() const { return kind >= Kind::CannotCreate; }
};

// The outcome of one call: the value, or the reason it failed. A caller cannot drop it
// unread, so a failed read is never mistaken for an empty list. Store calls fail with a
// StoreError; the converter's calls with its Refusal (converter/source.h).
template <class T, class E = StoreError> class [[nodiscard]] Result : public std::expected<T, E>
{
public:
    using std::expected<T, E>::expected;
    Result(const std::expected<T, E> &other) : std::expected<T, E>(other) {}
    Result(std::expected<T, E> &&other) : std::expected<T, E>(std::move(other)) {}

    // Whether the call succeeded. A yes/no answer (Result<bool>) has no such test: `if
    // (store.titleExists(t))` would read "the question was answered", so its caller says
    // has_value() and then reads the answer.
    explicit operator bool() const noexcept requires(!std::is_same_v<T, bool>)
    {
        return this->has_value();
    }
    explicit operator bool() const requires std::is_same_v<T, bool>
    = delete;
};

inline std::unexpected<StoreError> failure(StoreError::Kind kind, const QString &detail)
{
    return std::unexpected(StoreError{kind, detail});
}

} // namespace zorbin::store
