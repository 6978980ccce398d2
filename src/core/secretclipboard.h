#pragma once

#include <QString>

namespace zorbin::core {

// How long a copied password stays on the clipboard.
inline constexpr int kSecretClipboardMs = 30000;

// Clears the clipboard and puts `text` on it as plain text, marked for clipboard managers
// as a secret not to keep in their history. After `clearAfterMs` the clipboard is cleared
// again if it still holds `text` (something copied meanwhile stays). An empty text is put
// on the clipboard as it is, with nothing to clear later. Needs a QGuiApplication.
void copySecret(const QString &text, int clearAfterMs = kSecretClipboardMs);

// Clears the clipboard at once if it still holds the last text copySecret() put there
// (the program locks, or the window that copied it closes).
void forgetSecret();

} // namespace zorbin::core
