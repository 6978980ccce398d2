#pragma once

#include "common/context.h"
#include "store/records.h"

#include <QVector>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorbin::account {

// The first window: the account name list, the password, and the way to recovery.
class LoginWindow : public QWidget
{
    Q_OBJECT
public:
    // With `namesLater`, the name list is read only when loadNames() is called, so the
    // window can show while the database is still being unlocked.
    explicit LoginWindow(zorbin::common::Context &context, QWidget *parent = nullptr,
                         bool namesLater = false);

    // Fills the name list from the accounts table.
    void loadNames();

    // While the program is locked: the window asks the password of `userName` again.
    // The name is fixed; recovery, the hint and the saved password are not offered, a
    // good password writes nothing, and the window cannot be closed.
    void setUnlockMode(const QString &userName);
    bool isUnlockMode() const { return !m_unlockName.isNull(); }
    // The account of the last good login (trimmed as it was compared).
    QString userName() const { return m_loggedInName; }

Q_SIGNALS:
    // A name and password matched; the opener shows the main window and closes this one.
    void loggedIn();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void logIn();
    void showPasswordToggled(bool shown);
    void savePasswordClicked(bool checked);
    void showFirstPassword();
    void openRecovery();

private:
    void buildForm();
    void makeControls();
    void layOut();
    void connectControls();
    void loadSavedPassword();
    // The fixed default account name in the name box.
    void showDefaultName();
    // Reads the accounts afresh; false (after telling the user) when the database refused.
    bool readUsers(QVector<zorbin::store::UserRecord> *users);
    // Our own message boxes take the activation away and give it back; that return is not
    // a new visit to the window and must not replace the name the user typed.

    zorbin::common::Context &m_context;
    QComboBox *m_userName = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_showPassword = nullptr;
    QCheckBox *m_savePassword = nullptr;
    QPushButton *m_login = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_first = nullptr;
    QLabel *m_lockNote = nullptr;
    bool m_skipActivation = false;
    QString m_unlockName;
    QString m_loggedInName;
};

} // namespace zorbin::account
