#include "tools/passwordgeneratorwindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "common/secretboxes.h"
#include "common/strengthbar.h"
#include "core/passgen.h"
#include "core/secretclipboard.h"
#include "store/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>
#include <limits>

namespace zorbin::tools {

using zorbin::common::Dialogs;
namespace core = zorbin::core;

namespace {

const QString kCaption = QStringLiteral("پسورد ساز");
const QString kLengthPrompt = QStringLiteral(" :(انتخاب كاراكتر (6 تا 33");
const QString kDefaultLength = QStringLiteral("10");
const std::array<QString, 4> kClassCaptions{
    QStringLiteral("0 - 9"),
    QStringLiteral("a - z"),
    QStringLiteral("A - Z"),
    QStringLiteral("ديگر كاراكترها (!@#%)"),
};
const QString kSelectAll = QStringLiteral("انتخاب همه");
const QString kGenerate = QStringLiteral("ساخت رمز");
const QString kCopy = QStringLiteral("کپي رمز");
const QString kSave = QStringLiteral("ذخيره رمز");
const QString kClear = QStringLiteral("پاکسازي");

const QString kErrorTitle = QStringLiteral("خطا");
const QString kDoneTitle = QStringLiteral("انجام شد");
const QString kBadLength = QStringLiteral(".تعداد کاراکترها بايد بين 6 تا 33 باشد");
const QString kNoLength = QStringLiteral(".لطفا تعداد کاراکتر مورد نظر را مشخص کنيد");
const QString kNoClass = QStringLiteral(".هيچ گزينه اي براي ساخت پسورد انتخاب نشده است");
const QString kNothingSelected = QStringLiteral(".هيچ پسوردي انتخاب نشده است");
const QString kSaveFilter =
    QStringLiteral("Text Files (*.txt);;Data Files (*.dat);;INI Files (*.ini);;All Files (*)");

// Our own texts, for what the generator never used to say.
const QString kNoOtherCharacters = QStringLiteral(
    "کادر کاراکترهاي ديگر خالي است؛ چند کاراکتر در آن بنويسيد يا دسته ديگري را هم انتخاب کنيد.");
const QString kNotSaved = QStringLiteral("رمز در اين پرونده ذخيره نشد:");

// A check box whose caption is drawn from `shown`: the same characters with direction marks,
// so digits and symbols read left to right inside the right-to-left window.
class CaptionCheckBox : public QCheckBox
{
public:
    CaptionCheckBox(const QString &text, const QString &shown, QWidget *parent)
        : QCheckBox(text, parent), m_shown(shown)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text = m_shown;
        painter.drawControl(QStyle::CE_CheckBox, option);
    }

private:
    QString m_shown;
};

// `text` as one left-to-right run (embedding marks, drawn with no width).
QString leftToRight(const QString &text)
{
    return QChar(0x202A) + text + QChar(0x202C);
}

// The caption as drawn: the Latin part of each class caption kept left to right.
QString shownCaption(int index)
{
    const QString &caption = kClassCaptions[size_t(index)];
    const qsizetype open = caption.indexOf(QLatin1Char('('));
    if (open < 0)
        return leftToRight(caption);
    return caption.left(open) + leftToRight(caption.mid(open));
}

void noLengthLimit(QLineEdit *box)
{
    box->setMaxLength(std::numeric_limits<int>::max());
}

} // namespace

PasswordGeneratorWindow::PasswordGeneratorWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Create"));
    setWindowTitle(kCaption);
    setWindowIcon(zorbin::common::icon(u"shield-lock"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont());

    makeControls();
    layOut();
    connectControls();

    // Digits and capitals on opening; small letters and other characters not.
    m_classes[core::Digits]->setChecked(true);
    m_classes[core::CapitalLetters]->setChecked(true);
    classesChanged();
    m_lengthBox->setFocus();
}

PasswordGeneratorWindow::~PasswordGeneratorWindow()
{
    // The focus moves while the controls go; that is no leaving of the length box.
    disconnect(qApp, nullptr, this, nullptr);
}

// --- controls ---------------------------------------------------------------------------

void PasswordGeneratorWindow::makeControls()
{
    m_lengthLabel = new QLabel(kLengthPrompt, this);
    m_lengthLabel->setObjectName(QStringLiteral("Label1"));
    zorbin::common::keepVisualOrder(m_lengthLabel);

    m_lengthBox = new QLineEdit(kDefaultLength, this);
    m_lengthBox->setObjectName(QStringLiteral("txtChars"));
    m_lengthBox->setLayoutDirection(Qt::LeftToRight);
    m_lengthBox->setAlignment(Qt::AlignCenter);
    m_lengthBox->setFixedWidth(60);
    m_lengthBox->setAccessibleName(QStringLiteral("تعداد کاراکترها"));
    m_lengthLabel->setBuddy(m_lengthBox);

    for (int i = 0; i < core::ClassCount; ++i) {
        m_classes[size_t(i)] =
            new CaptionCheckBox(kClassCaptions[size_t(i)], shownCaption(i), this);
        m_classes[size_t(i)]->setObjectName(QStringLiteral("chkOpt%1").arg(i));
    }
    m_all = new QCheckBox(kSelectAll, this);
    m_all->setObjectName(QStringLiteral("chkAll"));

    m_other = new QLineEdit(core::defaultOtherCharacters(), this);
    m_other->setObjectName(QStringLiteral("txtMisc"));
    m_other->setLayoutDirection(Qt::LeftToRight);
    m_other->setAccessibleName(kClassCaptions[core::OtherCharacters]);
    noLengthLimit(m_other);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("txtpword"));
    m_list->setLayoutDirection(Qt::LeftToRight);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAccessibleName(QStringLiteral("رمزهاي ساخته شده"));
    m_list->setFont(QFont(QStringLiteral("monospace"), font().pointSize() + 1));
    // Each password with its strength at the row's end.
    m_list->setItemDelegate(new zorbin::common::StrengthItemDelegate(m_list));

    m_chosen = new QLineEdit(this);
    m_chosen->setObjectName(QStringLiteral("Text1"));
    m_chosen->setLayoutDirection(Qt::LeftToRight);
    m_chosen->setAccessibleName(QStringLiteral("رمز انتخاب شده"));
    noLengthLimit(m_chosen);

    m_generate = new QPushButton(kGenerate, this);
    m_generate->setObjectName(QStringLiteral("cmdGen"));
    m_copy = new QPushButton(kCopy, this);
    m_copy->setObjectName(QStringLiteral("Copy"));
    m_save = new QPushButton(kSave, this);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    m_clear = new QPushButton(kClear, this);
    m_clear->setObjectName(QStringLiteral("cmdClear"));
    // Enter belongs to the length box; no button answers it on its own.
    for (QPushButton *b : {m_generate, m_copy, m_save, m_clear}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(90);
    }
}

// --- layout -----------------------------------------------------------------------------

void PasswordGeneratorWindow::layOut()
{
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(zorbin::common::icon(u"shield-lock").pixmap(40, 40));

    auto *length = new QHBoxLayout;
    length->addWidget(m_lengthLabel);
    length->addWidget(m_lengthBox);
    length->addStretch(1);
    length->addWidget(image);

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("XPFrame1"));
    // Right to left: column 0 is the right-hand edge.
    auto *classes = new QGridLayout(frame);
    // The check boxes keep their own width: a click beside a caption toggles nothing.
    const Qt::Alignment leading = Qt::AlignLeading | Qt::AlignVCenter;
    classes->addWidget(m_classes[core::Digits], 0, 0, leading);
    classes->addWidget(m_classes[core::SmallLetters], 0, 1, leading);
    classes->addWidget(m_classes[core::CapitalLetters], 0, 2, leading);
    classes->addWidget(m_classes[core::OtherCharacters], 1, 0, leading);
    classes->addWidget(m_other, 1, 1, 1, 2);
    classes->addWidget(m_all, 2, 0, leading);

    auto *side = new QVBoxLayout;
    side->addWidget(m_generate);
    side->addWidget(m_copy);
    side->addWidget(m_save);
    side->addWidget(m_clear);
    side->addStretch(1);

    auto *listAndButtons = new QHBoxLayout;
    listAndButtons->addWidget(m_list, 1);
    listAndButtons->addLayout(side);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(length);
    layout->addWidget(frame);
    layout->addLayout(listAndButtons, 1);
    layout->addWidget(m_chosen);

    setTabOrder(m_lengthBox, m_classes[0]);
    for (int i = 1; i < core::ClassCount; ++i)
        setTabOrder(m_classes[size_t(i - 1)], m_classes[size_t(i)]);
    setTabOrder(m_classes[core::OtherCharacters], m_other);
    setTabOrder(m_other, m_all);
    setTabOrder(m_all, m_generate);
    setTabOrder(m_generate, m_list);
    setTabOrder(m_list, m_chosen);
    setTabOrder(m_chosen, m_copy);
    setTabOrder(m_copy, m_save);
    setTabOrder(m_save, m_clear);
    resize(620, 400);
}

void PasswordGeneratorWindow::connectControls()
{
    connect(qApp, &QApplication::focusChanged, this, &PasswordGeneratorWindow::lengthFocusChanged);
    connect(m_lengthBox, &QLineEdit::returnPressed, this, &PasswordGeneratorWindow::lengthEntered);
    for (QCheckBox *box : m_classes)
        connect(box, &QCheckBox::toggled, this, &PasswordGeneratorWindow::classesChanged);
    connect(m_all, &QCheckBox::clicked, this, &PasswordGeneratorWindow::selectAllClicked);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_chosen->setText(item->text()); });
    connect(m_generate, &QPushButton::clicked, this, &PasswordGeneratorWindow::generate);
    connect(m_copy, &QPushButton::clicked, this, &PasswordGeneratorWindow::copyPassword);
    connect(m_clear, &QPushButton::clicked, this, &PasswordGeneratorWindow::clearList);
    connect(m_save, &QPushButton::clicked, this, &PasswordGeneratorWindow::savePassword);
    // Nothing made here outlives the window: the list, the chosen box and a copy of it
    // still on the clipboard go when it closes.
    zorbin::common::wipeWhenClosed(this, {m_chosen});
    connect(this, &QDialog::finished, this, [this] {
        m_list->clear();
        core::forgetSecret();
    });
}

// --- behaviour --------------------------------------------------------------------------

void PasswordGeneratorWindow::lengthFocusChanged(QWidget *old, QWidget *now)
{
    // Only a move to another control of this window counts as leaving the box: closing
    // the window or switching to another program checks nothing.
    if (old != m_lengthBox || !now || now == this || !isAncestorOf(now))
        return;
    checkLength();
}

bool PasswordGeneratorWindow::checkLength()
{
    if (m_checkingLength)
        return false;
    if (const auto length = core::acceptedLength(m_lengthBox->text())) {
        m_length = *length;
        return true;
    }
    m_checkingLength = true;
    Dialogs::beep();
    m_lengthBox->setText(kDefaultLength);
    Dialogs::titled(this, Dialogs::Kind::Exclamation, kErrorTitle, kBadLength);
    m_lengthBox->setFocus();
    m_checkingLength = false;
    return false;
}

void PasswordGeneratorWindow::lengthEntered()
{
    // Enter in the length box makes a password, with the length as typed when it is one
    // the box accepts.
    if (checkLength())
        generate();
}

void PasswordGeneratorWindow::selectAllClicked(bool checked)
{
    for (QCheckBox *box : m_classes)
        box->setChecked(checked);
}

void PasswordGeneratorWindow::classesChanged()
{
    const bool other = m_classes[core::OtherCharacters]->isChecked();
    m_other->setEnabled(other);
    QPalette palette = m_other->palette();
    palette.setColor(QPalette::Base, other ? QColor(Qt::white) : palette.color(QPalette::Button));
    m_other->setPalette(palette);
}

void PasswordGeneratorWindow::generate()
{
    core::ClassChoice checked{};
    for (int i = 0; i < core::ClassCount; ++i)
        checked[size_t(i)] = m_classes[size_t(i)]->isChecked();
    const auto alphabet = core::generatorAlphabet(m_lengthBox->text(), checked, m_other->text());
    if (!alphabet) {
        switch (alphabet.error()) {
        case core::GenerateError::NoLength:
            Dialogs::titled(this, Dialogs::Kind::Exclamation, kErrorTitle, kNoLength);
            break;
        case core::GenerateError::NoClass:
            Dialogs::titled(this, Dialogs::Kind::Error, kErrorTitle, kNoClass);
            break;
        case core::GenerateError::EmptyAlphabet:
            Dialogs::titled(this, Dialogs::Kind::Exclamation, kErrorTitle, kNoOtherCharacters);
            m_other->setFocus();
            break;
        }
        return;
    }
    // One click, one password.
    if (const auto password = core::drawPassword(*alphabet, m_length))
        m_list->addItem(*password);
}

void PasswordGeneratorWindow::copyPassword()
{
    core::copySecret(m_chosen->text());
}

void PasswordGeneratorWindow::clearList()
{
    m_list->clear();
}

void PasswordGeneratorWindow::savePassword()
{
    const QListWidgetItem *item = m_list->currentItem();
    const QString password = item && item->isSelected() ? item->text() : QString();
    if (zorbin::store::trimBlanks(password).isEmpty()) {
        Dialogs::titled(this, Dialogs::Kind::Exclamation, kErrorTitle, kNothingSelected);
        m_lengthBox->setFocus();
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The password is added to the end of the chosen file: nothing is replaced, so the
    // dialog does not ask.
    const QString path = Dialogs::saveFileName(this, kSave, folder, kSaveFilter, false);
    if (path.isEmpty())
        return;
    if (const auto written = core::appendPasswordLine(path, password); !written) {
        Dialogs::error(this, kNotSaved + QStringLiteral("\r\n") + QDir::toNativeSeparators(path) +
                                 QStringLiteral("\r\n") + written.error());
        return;
    }
    Dialogs::titled(this, Dialogs::Kind::Information, kDoneTitle,
                    QStringLiteral("File ") + QDir::toNativeSeparators(path) +
                        QStringLiteral(" Saved!"),
                    false);
}

} // namespace zorbin::tools
