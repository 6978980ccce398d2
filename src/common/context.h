#pragma once

#include <QString>

namespace zorbin::store {
class Store;
class Settings;
} // namespace zorbin::store

namespace zorbin::common {

// What the windows share, handed to each window by its opener.
struct Context
{
    store::Store &store;
    store::Settings &settings;
    QString dataFolder;
};

} // namespace zorbin::common
