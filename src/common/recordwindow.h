#pragma once

#include "common/context.h"
#include "store/result.h"

#include <QDialog>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace zorbin::common {

// What the record editors (a site, a contact) have in common: the window's look, and the
// mode and record the command that opens the window gives it.
class RecordWindow : public QDialog
{
    Q_OBJECT
public:
    // A new record, or the record `recordId` to edit or to show read-only.
    enum class Mode { New, Edit, View };

    ~RecordWindow() override;

    Mode mode() const { return m_mode; }
    qint64 recordId() const { return m_recordId; }

protected:
    RecordWindow(Context &context, const QString &objectName, Mode mode, qint64 recordId,
                 QWidget *parent);

    void showEvent(QShowEvent *event) override;
    // Sets the window up for its mode and loads its record; called on every showing that
    // the program (not the window system) makes.
    virtual void activate() = 0;
    // Stores the record the boxes show (the save button).
    virtual void save() = 0;
    // Explains box `number` (its "؟" button).
    virtual void showHelp(int number) = 0;

    // The save and cancel buttons ("Button_Save", "Button_Cancel"), right-aligned in their
    // row: save stores the record, cancel closes the window.
    QHBoxLayout *makeButtonRow(const QString &saveText, const QString &cancelText);
    // The small "؟" button "Command<number>" beside a box.
    QPushButton *makeHelpButton(int number);

    // Repaints the banner, whose picture follows the mode.
    void updateBanner();
    // Tells the user what could not be read (`what`, and why), once the window is up rather
    // than in the middle of showing it.
    void reportReadFailure(const QString &what, const store::StoreError &error);
    // Refuses a record whose key is already stored: the warning, then the key's box
    // with its text selected, ready to be retyped.
    void refuseDuplicate(const QString &warning, QLineEdit *keyBox);
    // Tells the user the record was not stored (`what`, and why).
    void refuseSave(const QString &what, const store::StoreError &error);

    // Stores the record the boxes show: in edit mode through `update`, else through `insert` unless
    // `keyTaken` finds its key already stored. True when it is stored; otherwise the user has been
    // told why and the window stays as it was.
    template <class UpdateCheckWindow, class KeyTaken, class Insert>
    bool storeRecord(const QString &failure, UpdateCheckWindow update, KeyTaken keyTaken,
                     Insert insert, const QString &duplicate, QLineEdit *keyBox)
    {
        if (m_mode == Mode::Edit) {
            if (const auto updated = update(); !updated) {
                refuseSave(failure, updated.error());
                return false;
            }
            return true;
        }
        const auto taken = keyTaken();
        if (!taken.has_value()) {
            refuseSave(failure, taken.error());
            return false;
        }
        if (*taken) {
            refuseDuplicate(duplicate, keyBox);
            return false;
        }
        if (const auto inserted = insert(); !inserted) {
            refuseSave(failure, inserted.error());
            return false;
        }
        return true;
    }

    Context &m_context;
    const Mode m_mode;
    const qint64 m_recordId;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace zorbin::common
