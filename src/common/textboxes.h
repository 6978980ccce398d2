#pragma once

#include <QPlainTextEdit>
#include <QString>

class QWidget;

namespace zorbin::common {

// Lifts Qt's 32,767-character limit from every single-line box in `window` (the line of an
// editable combo box too): a box must show what the database holds and give it back whole.
void liftLengthLimits(QWidget *window);

// The notes box. Given a stored text, it gives the very same text back while the user has
// changed nothing, whatever its line breaks (the plain-text box turns CR LF into LF);
// once edited, every line break is stored as CR LF.
class NotesEdit : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

    void setStoredText(const QString &text);
    QString storedText() const;

private:
    QString m_stored = QStringLiteral(""); // as given
    QString m_shown;                       // the box's own text right after it was given
};

} // namespace zorbin::common
