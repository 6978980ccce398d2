#include "account/passwordrecoverywindow.h"

#include "account/securityquestions.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "core/secretclipboard.h"
#include "store/messages.h"
#include "store/store.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace zorbin::account {

using zorbin::common::Dialogs;

namespace {

const QString kCaption = QStringLiteral("بازيابي رمز");
const QString kQuestionFrame = QStringLiteral("       سوال امنيتي");
const QString kPasswordFrame = QStringLiteral("       رمز عبور");
const QString kPasswordLabel = QStringLiteral(":رمز عبور");
const QString kCopy = QStringLiteral("کپي");
const QString kShow = QStringLiteral("نمايش رمز");

const QString kMissing = QStringLiteral("لطفاً سوال و جواب امنيتي را وارد کنيد ");
const QString kFound = QStringLiteral("شما با موفقيت به رمز عبور دست پيدا كرديد ");
const QString kWrong = QStringLiteral("اطلاعات وارد شده اشتباه است ");

const QString kNotRead = QStringLiteral("حساب کاربري از پرونده اطلاعات خوانده نشد.");

} // namespace

PasswordRecoveryWindow::PasswordRecoveryWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    zorbin::account::setUpAccountWindow(this, QStringLiteral("Restore"), kCaption);
    makeControls();
    layOut();
    connectControls();
    m_question->setFocus();
}

void PasswordRecoveryWindow::makeControls()
{
    m_question = zorbin::account::makeQuestionBox(this);

    m_answer = zorbin::account::makeAnswerBox(this);
    m_answer->setPlaceholderText(QStringLiteral("جواب"));

    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Text3"));
    m_password->setReadOnly(true);
    m_password->setLayoutDirection(Qt::LeftToRight);
    m_password->setMaxLength(std::numeric_limits<int>::max());

    m_copy = new QPushButton(kCopy, this);
    m_copy->setObjectName(QStringLiteral("AeroButton1"));
    m_show = new QPushButton(zorbin::common::icon(u"eye"), kShow, this);
    m_show->setObjectName(QStringLiteral("Button_Restore"));
    zorbin::account::leaveEnterToBoxes({m_copy, m_show});
}

void PasswordRecoveryWindow::layOut()
{
    auto *questionFrame = new QGroupBox(kQuestionFrame, this);
    questionFrame->setObjectName(QStringLiteral("AeroGroupBox1"));
    auto *questions = new QVBoxLayout(questionFrame);
    questions->addWidget(m_question);
    questions->addWidget(m_answer);

    auto *passwordFrame = new QGroupBox(kPasswordFrame, this);
    passwordFrame->setObjectName(QStringLiteral("AeroGroupBox2"));
    auto *label = new QLabel(kPasswordLabel, passwordFrame);
    label->setObjectName(QStringLiteral("Label5"));
    zorbin::common::keepVisualOrder(label);
    label->setBuddy(m_password);
    m_password->setAccessibleName(kPasswordLabel.mid(1));
    // Right to left: the label stands right of its box.
    auto *password = new QHBoxLayout(passwordFrame);
    password->addWidget(label);
    password->addWidget(m_password, 1);
    password->addWidget(m_copy);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(zorbin::common::icon(u"person-lock").pixmap(36, 36));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(image);
    buttons->addStretch(1);
    buttons->addWidget(m_show);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(questionFrame);
    layout->addWidget(passwordFrame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_question, m_answer);
    setTabOrder(m_answer, m_show);
    setTabOrder(m_show, m_password);
    setTabOrder(m_password, m_copy);
}

void PasswordRecoveryWindow::connectControls()
{
    connect(m_show, &QPushButton::clicked, this, &PasswordRecoveryWindow::showPassword);
    connect(m_answer, &QLineEdit::returnPressed, this, &PasswordRecoveryWindow::showPassword);
    connect(m_question, &QComboBox::activated, this, [this] { m_answer->setFocus(); });
    connect(m_copy, &QPushButton::clicked, this, &PasswordRecoveryWindow::copyPassword);
}

void PasswordRecoveryWindow::showPassword()
{
    if (m_question->currentText().isEmpty() || m_answer->text().isEmpty()) {
        Dialogs::warn(this, kMissing);
        return;
    }
    const auto found = m_context.store.recoverPassword(m_question->currentText(), m_answer->text());
    if (!found) {
        Dialogs::error(this, zorbin::store::userMessage(kNotRead, found.error()));
        return;
    }
    if (!found->has_value()) {
        // No limit on attempts; the question stays so only the answer is typed again.
        Dialogs::warn(this, kWrong);
        m_answer->clear();
        m_answer->setFocus();
        return;
    }
    Dialogs::inform(this, kFound);
    m_password->setText(**found);
    m_question->setCurrentIndex(-1);
    m_question->setEditText(QString());
    m_answer->clear();
}

void PasswordRecoveryWindow::copyPassword()
{
    if (m_password->text().isEmpty())
        return;
    zorbin::core::copySecret(m_password->text());
    m_password->setFocus();
    accept();
}

} // namespace zorbin::account
