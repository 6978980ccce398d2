#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace zorbin::ui {

// Every message box and file dialog of the program goes through here, so that a test
// can answer them in advance (see Dialogs::Script).
class Dialogs
{
public:
    enum class Kind { Information, Exclamation, Question, Error, OpenFile, SaveFile };

    struct Shown
    {
        Kind kind;
        QString text;
        bool rightAligned = true;
        QString title;
    };

    // Information icon, OK. `rightAligned` is false for the Latin examples.
    static void inform(QWidget *parent, const QString &text, bool rightAligned = true);
    // Exclamation icon, OK: nothing to act on, missing input, duplicates, wrong passwords.
    static void warn(QWidget *parent, const QString &text);
    // Exclamation icon, Yes and No; true only for Yes.
    static bool confirm(QWidget *parent, const QString &text);
    // A failure the user must know about (the database refused a change).
    static void error(QWidget *parent, const QString &text);

    // A box with its own title (Information, Exclamation or Error icon, OK), for the
    // converter's English texts, which read left to right.
    static void titled(QWidget *parent, Kind kind, const QString &title, const QString &text);

    // Whether `window` is one of the message boxes shown here. A window that re-reads its
    // data when it becomes active again skips that after its own message boxes.
    static bool isMessageBox(const QWidget *window);

    static QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter);
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &path,
                                const QString &filter);

    // While a Script lives, nothing is shown: each dialog is recorded in `shown`, and
    // confirmations and file dialogs take the next of `answers` ("yes"/"no" or a file
    // name); with no answer left a confirmation is refused and a file dialog cancelled.
    class Script
    {
    public:
        Script();
        ~Script();
        Script(const Script &) = delete;
        Script &operator=(const Script &) = delete;

        QList<Shown> shown;
        QStringList answers;

        QStringList texts() const;
        QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    };

private:
    static Script *s_script;
    static int show(QWidget *parent, Kind kind, const QString &text, bool rightAligned,
                    const QString &title = QString());
    static QString scriptedFileName(Kind kind, const QString &caption);
};

} // namespace zorbin::ui
