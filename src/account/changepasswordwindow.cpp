#include "account/changepasswordwindow.h"

#include "account/securityquestions.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "common/secretboxes.h"
#include "common/strengthbar.h"
#include "store/messages.h"
#include "store/store.h"
#include "store/text.h"
#include "tools/passwordgeneratorwindow.h"

#include <QCheckBox>
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

using zorbin::tools::PasswordGeneratorWindow;

namespace zorbin::account {

using zorbin::common::Dialogs;

namespace {

const QString kCaption = QStringLiteral("تغيير رمز عبور");
const QString kQuestionFrame = QStringLiteral("       سوال امنيتي");
const QString kPasswordFrame = QStringLiteral("       رمز عبور");
const QString kQuestionLabel = QStringLiteral(":سوال");
const QString kAnswerLabel = QStringLiteral(":جواب");
const QString kShow = QStringLiteral("نمايش");
const QString kChange = QStringLiteral("تغيير رمز");

const QString kNoQuestion = QStringLiteral("سوال امنيتي را وارد كنيد ");
const QString kNoAnswer = QStringLiteral("جواب امنيتي را وارد كنيد ");
const QString kNoPassword = QStringLiteral("رمز عبور را وارد كنيد ");
const QString kMismatch = QStringLiteral("رمز عبور هماهنگ نيست ");
const QString kChanged = QStringLiteral("رمز عبور با موفقيت تغيير يافت ");

const QString kNotChanged = QStringLiteral("رمز عبور تغيير نکرد.");

QLineEdit *passwordBox(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    box->setLayoutDirection(Qt::LeftToRight);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setAccessibleName(accessibleName);
    box->setPlaceholderText(accessibleName);
    return box;
}

} // namespace

ChangePasswordWindow::ChangePasswordWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    zorbin::account::setUpAccountWindow(this, QStringLiteral("Pass"), kCaption);
    makeControls();
    layOut();
    connectControls();
    m_question->setFocus();
}

void ChangePasswordWindow::makeControls()
{
    m_question = zorbin::account::makeQuestionBox(this);

    m_answer = zorbin::account::makeAnswerBox(this);

    m_password = passwordBox(QStringLiteral("Text2"), QStringLiteral("رمز عبور جديد"), this);
    m_repeat = passwordBox(QStringLiteral("Text3"), QStringLiteral("تکرار رمز عبور"), this);
    m_strength = new zorbin::common::StrengthBar(this);
    m_strength->setObjectName(QStringLiteral("Strength"));

    m_show = new QCheckBox(this);
    m_show->setObjectName(QStringLiteral("Check1"));
    m_show->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_show->setToolTip(kShow);
    m_show->setAccessibleName(kShow);

    m_generator = new QPushButton(zorbin::common::icon(u"shield-lock"), QString(), this);
    m_generator->setObjectName(QStringLiteral("AeroButton1"));
    m_generator->setToolTip(QStringLiteral("پسورد ساز"));
    m_generator->setAccessibleName(QStringLiteral("پسورد ساز"));

    m_change = new QPushButton(zorbin::common::icon(u"key"), kChange, this);
    m_change->setObjectName(QStringLiteral("Button_Change"));
    zorbin::account::leaveEnterToBoxes({m_generator, m_change});
}

void ChangePasswordWindow::layOut()
{
    auto *questionFrame = new QGroupBox(kQuestionFrame, this);
    questionFrame->setObjectName(QStringLiteral("AeroGroupBox1"));
    auto *questionLabel = new QLabel(kQuestionLabel, questionFrame);
    questionLabel->setObjectName(QStringLiteral("Label2"));
    zorbin::common::keepVisualOrder(questionLabel);
    questionLabel->setBuddy(m_question);
    auto *answerLabel = new QLabel(kAnswerLabel, questionFrame);
    answerLabel->setObjectName(QStringLiteral("Label1"));
    zorbin::common::keepVisualOrder(answerLabel);
    answerLabel->setBuddy(m_answer);
    auto *image = new QLabel(questionFrame);
    image->setObjectName(QStringLiteral("Image2"));
    image->setPixmap(zorbin::common::icon(u"person-lock").pixmap(36, 36));

    // Right to left: column 0 is the right-hand edge, so labels stand right of their boxes.
    auto *questions = new QGridLayout(questionFrame);
    questions->addWidget(questionLabel, 0, 0);
    questions->addWidget(m_question, 0, 1);
    questions->addWidget(answerLabel, 1, 0);
    questions->addWidget(m_answer, 1, 1);
    questions->addWidget(image, 0, 2, 2, 1);
    questions->setColumnStretch(1, 1);

    auto *passwordFrame = new QGroupBox(kPasswordFrame, this);
    passwordFrame->setObjectName(QStringLiteral("AeroGroupBox2"));
    auto *passwords = new QGridLayout(passwordFrame);
    passwords->addWidget(m_password, 0, 0);
    passwords->addWidget(m_show, 0, 1);
    passwords->addWidget(m_repeat, 1, 0);
    passwords->addWidget(m_generator, 1, 1);
    passwords->addWidget(m_strength, 2, 0);
    passwords->setColumnStretch(0, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_change);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(questionFrame);
    layout->addWidget(passwordFrame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_question, m_answer);
    setTabOrder(m_answer, m_password);
    setTabOrder(m_password, m_repeat);
    setTabOrder(m_repeat, m_show);
    setTabOrder(m_show, m_generator);
    setTabOrder(m_generator, m_change);
}

void ChangePasswordWindow::connectControls()
{
    connect(m_change, &QPushButton::clicked, this, &ChangePasswordWindow::change);
    for (QLineEdit *box : {m_answer, m_password, m_repeat})
        connect(box, &QLineEdit::returnPressed, this, &ChangePasswordWindow::change);
    connect(m_question, &QComboBox::activated, this, [this] { m_answer->setFocus(); });
    connect(m_show, &QCheckBox::clicked, this, &ChangePasswordWindow::showPasswordClicked);
    connect(m_generator, &QPushButton::clicked, this, &ChangePasswordWindow::openGenerator);
    m_strength->follow(m_password);
    zorbin::common::wipeWhenClosed(this, {m_answer, m_password, m_repeat});
}

void ChangePasswordWindow::change()
{
    // The checks run in this order; the first that fails ends the command. Each value is
    // stored trimmed of blanks, so one of blanks only counts as empty (it would store an
    // empty password, or an answer that recovery never accepts). The two passwords must
    // agree character for character.
    using zorbin::store::trimBlanks;
    if (trimBlanks(m_question->currentText()).isEmpty()) {
        Dialogs::warn(this, kNoQuestion);
        m_question->setFocus();
        return;
    }
    if (trimBlanks(m_answer->text()).isEmpty()) {
        Dialogs::warn(this, kNoAnswer);
        m_answer->setFocus();
        return;
    }
    if (trimBlanks(m_password->text()).isEmpty() || trimBlanks(m_repeat->text()).isEmpty()) {
        Dialogs::warn(this, kNoPassword);
        m_password->setFocus();
        return;
    }
    if (m_repeat->text() != m_password->text()) {
        Dialogs::warn(this, kMismatch);
        m_password->setFocus();
        return;
    }
    const auto written = m_context.store.updateFirstAccount(
        m_password->text(), m_question->currentText(), m_answer->text());
    if (!written) {
        Dialogs::error(this, zorbin::store::userMessage(kNotChanged, written.error()));
        return;
    }
    Dialogs::inform(this, kChanged);
    accept();
}

void ChangePasswordWindow::showPasswordClicked(bool shown)
{
    const auto mode = shown ? QLineEdit::Normal : QLineEdit::Password;
    m_password->setEchoMode(mode);
    m_repeat->setEchoMode(mode);
    m_password->setFocus();
}

void ChangePasswordWindow::openGenerator()
{
    PasswordGeneratorWindow generator(this);
    Dialogs::exec(generator);
}

} // namespace zorbin::account
