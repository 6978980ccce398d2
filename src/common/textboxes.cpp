#include "common/textboxes.h"

#include <QLineEdit>
#include <QTextDocument>
#include <limits>

namespace zorbin::common {

void liftLengthLimits(QWidget *window)
{
    for (QLineEdit *line : window->findChildren<QLineEdit *>())
        line->setMaxLength(std::numeric_limits<int>::max());
}

void NotesEdit::setStoredText(const QString &text)
{
    setPlainText(text);
    m_stored = text;
    m_shown = document()->toRawText();
}

QString NotesEdit::storedText() const
{
    // The raw text keeps what the plain text would change (no-break spaces) and marks each
    // line break with a paragraph or line separator.
    QString text = document()->toRawText();
    if (text == m_shown)
        return m_stored;
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

} // namespace zorbin::common
