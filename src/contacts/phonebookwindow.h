#pragma once

#include "common/context.h"
#include "contacts/contacteditor.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace zorbin::common {
class RecordGrid;
}

namespace zorbin::contacts {

class ContactListModel;

// The phone book: every contact in a grid, searched by name or mobile on each keystroke;
// from the current row the contact editor adds, edits or shows a contact, and the contact
// is deleted, dialled or the list printed. The full list is read again whenever the window
// becomes active, after a delete, after printing and on refresh.
class PhoneBookWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PhoneBookWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

    ContactListModel &model() const { return *m_model; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildSearchRow();
    QWidget *buildGrid();
    QWidget *buildCallRow();
    QWidget *buildButtons();

    // Back to the full list and the name search, keeping the current contact when it is
    // still there.
    void reloadList();
    void runSearch();
    // Reads a slice of the rest of a long search; the next one follows while it is not whole.
    void readMoreOfSearch();
    // Reads the rest of a long search still arriving, so that a report or an export has
    // every row found; false, the user told, when it could not be read.
    bool readRestOfSearch();
    // A search the phone book could not read, told once until one succeeds.
    void searchFailed(const zorbin::store::StoreError &error);
    void chooseSearchColumn();
    void updateCallSelection();
    qint64 currentId() const;

    void addContact();
    void editContact();
    void viewContact();
    void deleteContact();
    // Deletes contact `id` and then its picture file when no other contact shares it.
    void deleteWithPicture(qint64 id);
    void printList();
    // Contacts in from a vCard file, and out to one (all, or the rows shown).
    void importContacts();
    void exportContacts();
    void callContact();
    void refreshClicked();
    // Shows the contact editor on contact `id` in `mode`.
    void openEditor(ContactEditor::Mode mode, qint64 id = 0);

    zorbin::common::Context &m_context;
    ContactListModel *m_model = nullptr;
    QComboBox *m_combo = nullptr;
    QLineEdit *m_search = nullptr;
    zorbin::common::RecordGrid *m_grid = nullptr;
    QTimer *m_restTimer = nullptr; // the rest of a long search, after its first screen
    QLabel *m_count = nullptr;
    QLabel *m_nameCall = nullptr;
    QLineEdit *m_mobileHolder = nullptr;
    QPushButton *m_call = nullptr;
    bool m_listFresh = true;
    bool m_backFromMessage = false;
    bool m_searchFailed = false;
    bool m_focusSearchOnReturn = false;
};

} // namespace zorbin::contacts
