#pragma once

#include <QString>
#include <expected>
#include <type_traits>

namespace zorbin::store {

// Why one store call failed; `detail` carries the engine's own words. The window that made
// the call says what it was doing; the two are joined into the user's message in one place.
struct StoreError
{
    enum class Kind {
        Engine,   // the engine refused or failed the statement
        NotFound, // the record meant by an ID is not there (deleted meanwhile)
        Busy,     // another program held the database longer than the busy wait
        Io        // a file beside the database could not be read or written
    };

    Kind kind = Kind::Engine;
    QString detail;
};

// The outcome of one store call: the value, or the reason it failed. A caller cannot drop
// it unread, so a failed read is never mistaken for an empty list.
template <class T> class [[nodiscard]] Result : public std::expected<T, StoreError>
{
public:
    using std::expected<T, StoreError>::expected;
    Result(const std::expected<T, StoreError> &other) : std::expected<T, StoreError>(other) {}

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
