#pragma once

#include <QString>

namespace zorbin::store {
class Store;
}

// Keystroke to repaint in the site editor's password box with its strength bar: a
// 33-character password typed key by key, each key timed until the bar has painted.
// Prints the figures beside their target (one frame, 16 ms).
void benchStrength(zorbin::store::Store &store, const QString &folder);
