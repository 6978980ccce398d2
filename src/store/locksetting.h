#pragma once

#include <QObject>

namespace zorbin::store {

class Settings;

// Tells whoever uses the minutes (the lock) that they were changed.
class LockSettingChanges : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void minutesChanged(int minutes);
};

// After how many minutes without input Zorbin locks itself; 0 means never. Kept in the
// settings folder beside the login's two settings.
class LockSetting
{
public:
    static constexpr int kDefaultMinutes = 10;
    // A day at most: longer is as good as never, and bounds the timer.
    static constexpr int kMaxMinutes = 1440;

    // The stored minutes; missing, unreadable or out-of-range values read as the default.
    static int minutes(const Settings &settings);
    // Stores `minutes` (clamped to 0..kMaxMinutes); false when the file could not be written.
    // On success LockSetting::changes() says so.
    static bool setMinutes(Settings &settings, int minutes);
    static LockSettingChanges &changes();
};

} // namespace zorbin::store
