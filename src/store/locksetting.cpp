#include "store/locksetting.h"

#include "store/settings.h"

#include <QString>
#include <algorithm>

namespace zorbin::store {

namespace {
const QString kName = QStringLiteral("LockMinutes");
const QString kSection = QStringLiteral("SettingForm");
} // namespace

int LockSetting::minutes(const Settings &settings)
{
    bool isNumber = false;
    const int stored = settings.value(kName, kSection, kName).trimmed().toInt(&isNumber);
    if (!isNumber || stored < 0 || stored > kMaxMinutes)
        return kDefaultMinutes;
    return stored;
}

bool LockSetting::setMinutes(Settings &settings, int minutes)
{
    const int kept = std::clamp(minutes, 0, kMaxMinutes);
    if (!settings.setValue(kName, kSection, kName, QString::number(kept)))
        return false;
    Q_EMIT changes().minutesChanged(kept);
    return true;
}

LockSettingChanges &LockSetting::changes()
{
    static LockSettingChanges instance;
    return instance;
}

} // namespace zorbin::store
