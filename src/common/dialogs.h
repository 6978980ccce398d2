#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QFileDialog;
class QMessageBox;
class QPrinter;
class QWidget;

namespace zorbin::common::report {
class Report;
}

namespace zorbin::common {

// Everything modal the program shows goes through here: message boxes, file dialogs, its
// own windows and report previews. A test answers them in advance (see Dialogs::Script).
class Dialogs
{
public:
    enum class Kind {
        Information,
        Exclamation,
        Question,
        Error,
        OpenFile,
        SaveFile,
        Window,  // one of the program's own modal windows
        Preview, // a report's print preview
        Beep,    // the system's warning sound
        Print    // the printer dialog
    };
    // The answer to a Yes/No question.
    enum class Reply { Yes, No };

    struct Shown
    {
        Kind kind;
        // The message; a file dialog's caption; a window's or report's objectName.
        QString text;
        bool rightAligned = true;
        QString className;               // windows: their class
        int records = -1;                // previews: how many records the report prints
        QString title = {};              // message boxes with a title of their own (see titled())
        QString filter = {};             // file dialogs: their filter
        bool asksBeforeReplacing = true; // save dialogs: whether an existing file is confirmed
    };

    // Information icon, OK. `rightAligned` is false for the Latin examples.
    static void inform(QWidget *parent, const QString &text, bool rightAligned = true);
    // Exclamation icon, OK: nothing to act on, missing input, duplicates, wrong passwords.
    static void warn(QWidget *parent, const QString &text);
    // Exclamation icon, Yes and No (No the default); true only for Yes.
    static bool confirm(QWidget *parent, const QString &text);
    // A failure the user must know about (the database refused a change).
    static void error(QWidget *parent, const QString &text);
    // A box with its own title (Information, Exclamation or Error icon, OK), for the few
    // messages that name something in the title bar, and the converter's English texts.
    // Right-aligned unless told otherwise or shown over a left-to-right window.
    static void titled(QWidget *parent, Kind kind, const QString &title, const QString &text,
                       std::optional<bool> rightAligned = std::nullopt);
    // The system's warning sound.
    static void beep();

    // The message box the calls above show, made but not shown.
    static std::unique_ptr<QMessageBox> messageBox(QWidget *parent, Kind kind, const QString &text,
                                                   bool rightAligned,
                                                   const QString &title = QString());
    // Whether `window` is one of the message boxes made here.
    static bool isMessageBox(const QWidget *window);
    // Whether one of them is on the screen. A window that re-reads its data when it
    // becomes active again skips that when a message box took the activation away.
    static bool messageBoxOpen();

    // The file dialogs. Each filter shows its name as written, without the pattern list Qt
    // would add to it ("Text Files (*.txt)" reads "Text Files"). A save dialog asks before
    // replacing an existing file, unless `askBeforeReplacing` is false: for a file that is
    // appended to, not replaced.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter);
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &path,
                                const QString &filter, bool askBeforeReplacing = true);
    // The file dialog the calls above show (kind OpenFile or SaveFile), made but not shown.
    static std::unique_ptr<QFileDialog> fileDialog(QWidget *parent, Kind kind,
                                                   const QString &caption, const QString &path,
                                                   const QString &filter,
                                                   bool askBeforeReplacing = true);

    // Runs one of the program's modal windows; its result (QDialog::Accepted or Rejected).
    static int exec(QDialog &window);
    // Shows the report in its modal preview.
    static void preview(const report::Report &report, QWidget *parent);
    // The printer dialog for `printer`; true when the user chose to print. Under a script
    // it takes the next of `replies` (Yes: print as set up).
    static bool choosePrinter(QPrinter &printer, QWidget *parent);

    // While a Script lives, nothing modal blocks: each dialog is recorded in `shown` and
    // answered from its own list. A question takes the next of `replies` (none left: No),
    // a file dialog the next of `fileNames` (none left: cancelled). A window is shown,
    // handed to `onWindow`, and closed with the next of `windowResults` (none left:
    // Rejected). A preview is recorded; with `onWindow` set its window is made, shown and
    // handed over too.
    class Script
    {
    public:
        Script();
        ~Script();
        Script(const Script &) = delete;
        Script &operator=(const Script &) = delete;

        QList<Shown> shown;
        QList<Reply> replies;
        QStringList fileNames;
        QList<int> windowResults;
        std::function<void(QDialog &)> onWindow;

        QStringList texts() const;
        QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
        // The records of one kind, in order.
        QList<Shown> of(Kind kind) const;
    };

private:
    static Script *s_script;
    static int show(QWidget *parent, Kind kind, const QString &text, bool rightAligned,
                    const QString &title = QString());
    static QString scriptedFileName(Kind kind, const QString &caption, const QString &filter,
                                    bool askBeforeReplacing);
    static QString chosenFile(QFileDialog &dialog);
    static int runScripted(QDialog &window, int result);
};

} // namespace zorbin::common
