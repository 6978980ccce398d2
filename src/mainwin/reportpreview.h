#pragma once

#include <functional>

#include <QString>

// Reports are shown in a modal print preview. A test sets this hook to see which report
// would be shown (its objectName and number of rows) instead of opening the preview.
namespace zorbin::ui {
inline std::function<void(const QString &report, int rows)> &reportPreviewHook()
{
    static std::function<void(const QString &, int)> hook;
    return hook;
}
} // namespace zorbin::ui
