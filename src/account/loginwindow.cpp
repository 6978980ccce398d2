#include "account/loginwindow.h"

#include "common/icons.h"
#include "store/text.h"

#include "account/passwordrecoverywindow.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/secretboxes.h"
#include "common/textboxes.h"
#include "store/messages.h"
#include "store/settings.h"
#include "store/store.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zorbin::account {

using zorbin::common::Dialogs;
using zorbin::store::Store;
using zorbin::store::UserRecord;

namespace {

const QString kSettingsSection = QStringLiteral("SettingForm");
const QString kCheckNet = QStringLiteral("CheckNet");
const QString kSavePass = QStringLiteral("SavePass");

QLabel *iconLabel(const QString &resource, int size, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(QIcon(resource).pixmap(size, size));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

LoginWindow::LoginWindow(zorbin::common::Context &context, QWidget *parent, bool namesLater)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("Login"));
    setWindowTitle(QStringLiteral("Zorbin"));
    setFont(zorbin::common::windowFont(10));
    buildForm();
    if (!namesLater)
        loadNames();
    loadSavedPassword();
    zorbin::common::liftLengthLimits(this);
    m_password->setFocus();
}

void LoginWindow::buildForm()
{
    makeControls();
    layOut();
    setTabOrder(m_userName, m_password);
    setTabOrder(m_password, m_showPassword);
    setTabOrder(m_showPassword, m_savePassword);
    setTabOrder(m_savePassword, m_login);
    setTabOrder(m_login, m_restore);
    setTabOrder(m_restore, m_first);
    connectControls();
}

// --- controls ---------------------------------------------------------------------------

void LoginWindow::makeControls()
{
    m_userName = new QComboBox(this);
    m_userName->setObjectName(QStringLiteral("Combo1"));
    m_userName->setEditable(true);
    // Enter in the name box must not add the typed text to the list of accounts.
    m_userName->setInsertPolicy(QComboBox::NoInsert);
    m_userName->setMinimumWidth(190);
    m_userName->setAccessibleName(QStringLiteral("نام کاربري"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Text1"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    m_password->setLayoutDirection(Qt::LeftToRight);
    m_showPassword = new QCheckBox(this);
    m_showPassword->setObjectName(QStringLiteral("Check1"));
    // Only the box is shown, and the whole control is the box.
    m_showPassword->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_showPassword->setToolTip(QStringLiteral("نمايش"));
    m_showPassword->setAccessibleName(QStringLiteral("نمايش"));

    m_first = new QPushButton(QStringLiteral("؟"), this);
    m_first->setObjectName(QStringLiteral("Button_First"));
    m_first->setAccessibleName(QStringLiteral("رمز عبور اوليه"));
    m_first->setFixedWidth(m_first->sizeHint().height());

    m_savePassword = new QCheckBox(QStringLiteral("ذخيره رمز"), this);
    m_savePassword->setObjectName(QStringLiteral("CheckNet"));

    m_login = new zorbin::common::IconTextButton(zorbin::common::icon(u"box-arrow-in-left"),
                                                 QStringLiteral("ورود"), this);
    m_login->setObjectName(QStringLiteral("Button_Login"));
    m_restore = new zorbin::common::IconTextButton(zorbin::common::icon(u"key"),
                                                   QStringLiteral("بازيابي رمز"), this);
    m_restore->setObjectName(QStringLiteral("Button_Restore"));
}

// --- layout -----------------------------------------------------------------------------

void LoginWindow::layOut()
{
    auto *header = iconLabel(zorbin::common::iconPath(u"person-lock"), 56, this);
    header->setObjectName(QStringLiteral("Image1"));

    auto *userLabel = iconLabel(zorbin::common::iconPath(u"person-badge"), 20, this);
    userLabel->setObjectName(QStringLiteral("LabelUser"));
    userLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    userLabel->setBuddy(m_userName);

    auto *passwordLabel = new QLabel(QStringLiteral(" :رمز عبور "), this);
    passwordLabel->setObjectName(QStringLiteral("Label2"));
    // Written colon first, as the caption has always been: drawn left to right it reads
    // "word:" to a Persian eye.
    zorbin::common::keepVisualOrder(passwordLabel);
    passwordLabel->setBuddy(m_password);

    m_lockNote =
        new QLabel(QStringLiteral("زوربين قفل شده است؛ براي ادامه رمز عبور را وارد كنيد."), this);
    m_lockNote->setObjectName(QStringLiteral("LabelLocked"));
    m_lockNote->setAlignment(Qt::AlignCenter);
    m_lockNote->hide();

    auto *version = new QLabel(QStringLiteral("نسخه 2.0"), this);
    version->setObjectName(QStringLiteral("Label1"));
    version->setEnabled(false);

    // Right to left: column 0 is the right-hand edge, so labels stand right of their boxes.
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(8);
    form->addWidget(userLabel, 0, 0);
    form->addWidget(m_userName, 0, 1);
    form->addWidget(m_first, 0, 2);
    form->addWidget(passwordLabel, 1, 0);
    form->addWidget(m_password, 1, 1);
    form->addWidget(m_showPassword, 1, 2);
    form->addWidget(m_savePassword, 2, 1);
    form->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_login);
    buttons->addWidget(m_restore);
    buttons->addStretch(1);
    buttons->addWidget(version, 0, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 12);
    layout->setSpacing(10);
    layout->addWidget(header);
    layout->addWidget(m_lockNote);
    layout->addLayout(form);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void LoginWindow::connectControls()
{
    connect(m_login, &QPushButton::clicked, this, &LoginWindow::logIn);
    connect(m_password, &QLineEdit::returnPressed, this, &LoginWindow::logIn);
    connect(m_showPassword, &QCheckBox::toggled, this, &LoginWindow::showPasswordToggled);
    connect(m_savePassword, &QCheckBox::clicked, this, &LoginWindow::savePasswordClicked);
    connect(m_first, &QPushButton::clicked, this, &LoginWindow::showFirstPassword);
    connect(m_restore, &QPushButton::clicked, this, &LoginWindow::openRecovery);
}

bool LoginWindow::readUsers(QVector<UserRecord> *users)
{
    const auto read = m_context.store.users();
    if (!read) {
        users->clear();
        Dialogs::error(
            this, zorbin::store::userMessage(
                      QStringLiteral("فهرست کاربران از پرونده اطلاعات خوانده نشد."), read.error()));
        return false;
    }
    *users = *read;
    return true;
}

void LoginWindow::loadNames()
{
    // The first name added would become the shown one; the default name (or a name the
    // user typed meanwhile) stays, whether the window was activated before or not.
    const QString shown = m_userName->currentText();
    QVector<UserRecord> users;
    readUsers(&users);
    for (const UserRecord &user : users)
        m_userName->addItem(user.userName);
    if (shown.isEmpty() || shown == Store::defaultUserName())
        showDefaultName();
    else
        m_userName->setEditText(shown);
}

void LoginWindow::showDefaultName()
{
    // The list's current item follows, so that nothing brings another name back.
    const int listed =
        m_userName->findText(Store::defaultUserName(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (listed >= 0)
        m_userName->setCurrentIndex(listed);
    m_userName->setEditText(Store::defaultUserName());
}

void LoginWindow::loadSavedPassword()
{
    const QString stored = m_context.settings.value(kCheckNet, kSettingsSection, kCheckNet);
    bool isNumber = false;
    const short state = stored.trimmed().toShort(&isNumber);
    m_savePassword->setChecked(isNumber && state == 1);
    if (m_savePassword->isChecked())
        m_password->setText(m_context.settings.value(kSavePass, kSettingsSection, kSavePass));
}

bool LoginWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (m_skipActivation || isUnlockMode())
            m_skipActivation = false;
        else
            showDefaultName();
        break;
    case QEvent::WindowDeactivate:
        // Our own message boxes leave the typed name alone when they close.
        m_skipActivation = Dialogs::messageBoxOpen();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void LoginWindow::logIn()
{
    if (m_password->text().isEmpty()) {
        m_password->setFocus();
        return;
    }
    QVector<UserRecord> users;
    if (!readUsers(&users))
        return;

    const QString name =
        isUnlockMode() ? m_unlockName : zorbin::store::trimBlanks(m_userName->currentText());
    const QString password = zorbin::store::trimBlanks(m_password->text());
    const auto match = std::find_if(users.cbegin(), users.cend(), [&](const UserRecord &user) {
        return user.userName == name && user.password == password;
    });
    if (match == users.cend()) {
        Dialogs::warn(this, QStringLiteral("رمز عبور اشتباه است "));
        zorbin::common::wipe(m_password);
        m_password->setFocus();
        return;
    }
    m_loggedInName = name;
    if (isUnlockMode()) {
        zorbin::common::wipe(m_password);
        Q_EMIT loggedIn();
        return;
    }

    if (m_savePassword->isChecked() &&
        !m_context.settings.setValue(kSavePass, kSettingsSection, kSavePass, m_password->text()))
        Dialogs::error(this, QStringLiteral("رمز عبور برای دفعه بعد ذخیره نشد؛ "
                                            "پوشه تنظیمات قابل نوشتن نیست:\r\n") +
                                 m_context.settings.folder());
    zorbin::common::wipe(m_password);
    Q_EMIT loggedIn();
}

void LoginWindow::setUnlockMode(const QString &userName)
{
    m_unlockName = userName.isNull() ? QStringLiteral("") : userName;
    m_userName->clear();
    m_userName->addItem(m_unlockName);
    m_userName->setEditText(m_unlockName);
    m_userName->setEnabled(false);
    // A remembered password must not open a locked program.
    zorbin::common::wipe(m_password);
    for (QWidget *w : std::initializer_list<QWidget *>{m_restore, m_first, m_savePassword})
        w->hide();
    m_lockNote->show();
    m_password->setFocus();
}

void LoginWindow::closeEvent(QCloseEvent *event)
{
    // Closing the unlock window would leave the hidden windows with no way back.
    if (isUnlockMode()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void LoginWindow::showPasswordToggled(bool shown)
{
    m_password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    m_password->setFocus();
}

void LoginWindow::savePasswordClicked(bool checked)
{
    if (!m_context.settings.setValue(kCheckNet, kSettingsSection, kCheckNet,
                                     checked ? QStringLiteral("1") : QStringLiteral("0")))
        Dialogs::error(this, QStringLiteral("این انتخاب ذخیره نشد؛ "
                                            "پوشه تنظیمات قابل نوشتن نیست:\r\n") +
                                 m_context.settings.folder());
}

void LoginWindow::showFirstPassword()
{
    Dialogs::inform(this, QStringLiteral("رمز عبور اوليه:") + QStringLiteral("  ") +
                              Store::defaultPassword() + QStringLiteral(" "));
    m_password->setFocus();
}

void LoginWindow::openRecovery()
{
    {
        PasswordRecoveryWindow recovery(m_context, this);
        Dialogs::exec(recovery);
    }
    // Coming back puts the default name in again, as every return to this window does;
    // said here too, since the window manager need not hand the activation back at once.
    m_userName->setEditText(Store::defaultUserName());
}

} // namespace zorbin::account
