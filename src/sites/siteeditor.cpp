#include "sites/siteeditor.h"

#include "common/appearance.h"
#include "common/banner.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/endcaretedit.h"
#include "common/handpointer.h"
#include "common/icons.h"
#include "common/secretboxes.h"
#include "common/strengthbar.h"
#include "common/textboxes.h"
#include "sites/subjectswindow.h"
#include "store/messages.h"
#include "store/records.h"
#include "store/sitechecks.h"
#include "store/store.h"
#include "store/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace zorbin::sites {

using zorbin::common::Dialogs;
using zorbin::store::SiteRecord;
using zorbin::store::userMessage;
namespace desktop = zorbin::common::desktop;

namespace {

const QString kCaptionNew = QStringLiteral("سايت جديد");
const QString kCaptionEdit = QStringLiteral("ويرايش مشخصات");
const QString kCaptionView = QStringLiteral("مشاهده مشخصات");
const QString kRegister = QStringLiteral("ثبت");
const QString kStore = QStringLiteral("ذخيره");
const QString kCancel = QStringLiteral("انصراف");
const QString kExit = QStringLiteral("خروج");
const QString kStarred = QStringLiteral(" لطفاً فيلدهاي ستاره دار را وارد کنيد");
const QString kDuplicate = QStringLiteral("اين سايت قبلاً ثبت شده است ");
const QString kClickHere = QStringLiteral("کليک کنيد");
const QString kShow = QStringLiteral("نمايش");

const QString kFacebookHome = QStringLiteral("https://www.facebook.com/");
const QString kTwitterHome = QStringLiteral("https://twitter.com/");
const QString kGooglePlusHome = QStringLiteral("https://plus.google.com/");
const QString kExampleAddress = QStringLiteral("http://www.example.com");
const QString kRssSuffix = QStringLiteral("/rss.xml");

// Which box shows each stored field; box n is the one named "Textn".
struct FieldBox
{
    zorbin::store::SiteField field;
    int box;
};
constexpr std::array<FieldBox, 15> kFieldBoxes{{
    {zorbin::store::Onvan, 1},
    {zorbin::store::Address, 2},
    {zorbin::store::Mozoo, 3},
    {zorbin::store::Email, 4},
    {zorbin::store::Modir, 5},
    {zorbin::store::Mobile, 6},
    {zorbin::store::Yahoo, 7},
    {zorbin::store::Facebook, 8},
    {zorbin::store::User, 9},
    {zorbin::store::Pass, 10},
    {zorbin::store::Tozihat, 11},
    {zorbin::store::Gmail, 12},
    {zorbin::store::Twitter, 13},
    {zorbin::store::Google, 14},
    {zorbin::store::Rss, 15},
}};

// Every stored field has exactly one box, and no box shows two fields.
constexpr bool eachFieldOneBox()
{
    for (int f = 1; f < zorbin::store::SiteFieldCount; ++f) {
        int fields = 0;
        for (const FieldBox &fb : kFieldBoxes)
            fields += fb.field == f ? 1 : 0;
        if (fields != 1)
            return false;
    }
    for (std::size_t a = 0; a < kFieldBoxes.size(); ++a) {
        if (kFieldBoxes[a].box < 1 || kFieldBoxes[a].box > 15)
            return false;
        for (std::size_t b = a + 1; b < kFieldBoxes.size(); ++b)
            if (kFieldBoxes[a].box == kFieldBoxes[b].box)
                return false;
    }
    return true;
}
static_assert(eachFieldOneBox(), "the site editor shows each stored field in a box of its own");

// The six boxes whose text is an address: links in view mode.
constexpr std::array<int, 6> kLinkBoxes{2, 4, 8, 13, 14, 15};

// The field's name for a screen reader: the label without its star and colon.
QString plainName(const QString &labelText)
{
    QString name = labelText;
    name.remove(QLatin1Char('*'));
    name.remove(QLatin1Char(':'));
    return name.trimmed();
}

struct Hint
{
    int box;
    QString text;
    bool rightAligned;
};

const Hint &hintFor(int number)
{
    static const std::array<Hint, 11> hints{{
        {0, QString(), false},
        {1, QStringLiteral("نام سايت به فارسي وارد شود"), true},
        {2, kExampleAddress, false},
        {4, QStringLiteral("info@example.com\r\nexample@yahoo.com\r\nexample@gmail.com"), false},
        {7, QStringLiteral("example"), false},
        {8, kFacebookHome + QStringLiteral("example"), false},
        {9, QStringLiteral("نام کاربري و رمز عبور خود در سايت مربوطه را وارد کنيد"), true},
        {12, QStringLiteral("example"), false},
        {13, kTwitterHome + QStringLiteral("example"), false},
        {14, kGooglePlusHome + QStringLiteral("example"), false},
        {15, kExampleAddress + kRssSuffix, false},
    }};
    return hints[size_t(number)];
}

} // namespace

SiteEditor::SiteEditor(zorbin::common::Context &context, Mode mode, qint64 id, QWidget *parent)
    : RecordWindow(context, QStringLiteral("Site"), mode, id, parent)
{
    buildWindow();
}

SiteEditor::~SiteEditor() = default;

void SiteEditor::buildWindow()
{
    setWindowTitle(kCaptionNew);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 10);
    outer->addWidget(new zorbin::common::Banner(zorbin::common::iconPath(u"globe"), this));

    makeBoxes();
    makeAids();
    auto *grid = new QGridLayout;
    grid->setContentsMargins(12, 6, 12, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(3, 18);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    placeBoxes(grid);
    outer->addLayout(grid);
    outer->addLayout(makeButtonRow(kRegister, kCancel));
    setInitialTexts();
    setBoxTabOrder();
    zorbin::common::liftLengthLimits(this);
}

// --- boxes ------------------------------------------------------------------------------

void SiteEditor::makeBoxes()
{
    auto makeLine = [this](int number, bool endCaret) {
        QLineEdit *line = endCaret ? new zorbin::common::EndCaretEdit(this) : new QLineEdit(this);
        line->setObjectName(QStringLiteral("Text%1").arg(number));
        m_line[size_t(number)] = line;
        return line;
    };
    for (int n : {1, 4, 5, 6, 7, 9, 10, 12, 16, 17})
        makeLine(n, false);
    for (int n : {2, 8, 13, 14, 15})
        makeLine(n, true);
    m_line[16]->hide();
    m_line[17]->hide();

    m_subject = new QComboBox(this);
    m_subject->setObjectName(QStringLiteral("Text3"));
    m_subject->setEditable(false);
    m_subject->installEventFilter(this);

    m_notes = new zorbin::common::NotesEdit(this);
    m_notes->setObjectName(QStringLiteral("Text11"));
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_notes->setTabChangesFocus(true);
    m_notes->setFixedHeight(80);
    {
        QTextOption option = m_notes->document()->defaultTextOption();
        option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        m_notes->document()->setDefaultTextOption(option);
    }

    // Persian boxes right-aligned, address boxes left-aligned and written left to right.
    for (int n : {1, 5, 6, 7, 9, 10, 12})
        m_line[size_t(n)]->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    for (int n : {2, 4, 8, 13, 14, 15}) {
        m_line[size_t(n)]->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
        m_line[size_t(n)]->setLayoutDirection(Qt::LeftToRight);
    }
    for (int n : kLinkBoxes)
        m_line[size_t(n)]->installEventFilter(this);

    // Each password character shows as "*" once the mask is on.
    m_line[10]->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

QWidget *SiteEditor::box(int number) const
{
    if (number == 3)
        return m_subject;
    if (number == 11)
        return m_notes;
    return m_line[size_t(number)];
}

// --- buttons beside the boxes ---------------------------------------------------------

void SiteEditor::makeAids()
{
    m_addSubject = new QPushButton(this);
    m_addSubject->setObjectName(QStringLiteral("Button_Add1"));
    m_addSubject->setAutoDefault(false);
    m_addSubject->setIcon(zorbin::common::tintedIcon(zorbin::common::iconPath(u"plus-circle-fill"),
                                                     QColor(0x19, 0x87, 0x54)));
    m_addSubject->setIconSize(QSize(16, 16));
    m_addSubject->setFixedSize(24, 24);
    m_addSubject->setAccessibleName(QStringLiteral("افزودن موضوع"));
    m_addSubject->setToolTip(QStringLiteral("افزودن موضوع"));
    connect(m_addSubject, &QPushButton::clicked, this, &SiteEditor::addSubject);

    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("Check1"));
    m_check->setToolTip(kShow);
    m_check->setAccessibleName(kShow);
    connect(m_check, &QCheckBox::clicked, this, &SiteEditor::passwordCheckClicked);

    m_strength = new zorbin::common::StrengthBar(this);
    m_strength->setObjectName(QStringLiteral("Strength"));
    m_strength->follow(m_line[10]);
    zorbin::common::wipeWhenClosed(this, {m_line[10]});
}

// --- layout -----------------------------------------------------------------------------

void SiteEditor::placeBoxes(QGridLayout *grid)
{
    struct Cell
    {
        int box;
        const char *label;
        QString caption;
        QWidget *aid;
    };
    const std::array<std::array<Cell, 2>, 7> rows{{
        {{{1, "Label1", QStringLiteral("*:عنوان سايت"), makeHelpButton(1)},
          {2, "Label2", QStringLiteral("*:آدرس سايت"), makeHelpButton(2)}}},
        {{{3, "Label4", QStringLiteral("*:موضوع سايت"), m_addSubject},
          {4, "Label3", QStringLiteral(":ايميل سايت"), makeHelpButton(3)}}},
        {{{5, "Label5", QStringLiteral(":مدير سايت"), nullptr},
          {6, "Label6", QStringLiteral(":تلفن تماس"), nullptr}}},
        {{{7, "Label8", QStringLiteral(":شناسه ياهو"), makeHelpButton(4)},
          {12, "Label9", QStringLiteral(":شناسه گوگل"), makeHelpButton(7)}}},
        {{{8, "Label13", QStringLiteral(":فيسبوک سايت"), makeHelpButton(5)},
          {13, "Label10", QStringLiteral(":تويتر سايت"), makeHelpButton(8)}}},
        {{{14, "Label11", QStringLiteral(":گوگل پلاس"), makeHelpButton(9)},
          {15, "Label12", QStringLiteral(":سايت RSS"), makeHelpButton(10)}}},
        {{{9, "Label15", QStringLiteral(":نام کاربري شما"), makeHelpButton(6)},
          {10, "Label14", QStringLiteral(":رمز عبور شما"), m_check}}},
    }};
    auto place = [&](const Cell &cell, int row, int column) {
        auto *label = new QLabel(cell.caption, this);
        label->setObjectName(QString::fromLatin1(cell.label));
        zorbin::common::keepVisualOrder(label);
        QWidget *field = box(cell.box);
        label->setBuddy(field);
        field->setAccessibleName(plainName(cell.caption));
        field->setMinimumWidth(220);
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
        if (cell.aid) {
            if (cell.aid->objectName().startsWith(QLatin1String("Command")))
                cell.aid->setAccessibleName(QStringLiteral("راهنماي ") + plainName(cell.caption));
            grid->addWidget(cell.aid, row, column + 2);
        }
    };
    for (int r = 0; r < int(rows.size()); ++r) {
        place(rows[size_t(r)][0], r, 0);
        place(rows[size_t(r)][1], r, 4);
    }

    const QString caption = QStringLiteral(":توضيحات");
    auto *label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("Label7"));
    label->setBuddy(m_notes);
    zorbin::common::keepVisualOrder(label);
    label->setAlignment(Qt::AlignTop | Qt::AlignRight | Qt::AlignAbsolute);
    m_notes->setAccessibleName(plainName(caption));
    // The password's strength under its box.
    const int strengthRow = int(rows.size());
    grid->addWidget(m_strength, strengthRow, 5);
    grid->addWidget(label, strengthRow + 1, 0);
    grid->addWidget(m_notes, strengthRow + 1, 1, 1, 6);
}

void SiteEditor::setInitialTexts()
{
    // The address gets its prefix before the RSS box starts following it.
    m_line[2]->setText(QStringLiteral("http://"));
    m_line[8]->setText(kFacebookHome);
    m_line[13]->setText(kTwitterHome);
    m_line[14]->setText(kGooglePlusHome);
    connect(m_line[2], &QLineEdit::textChanged, this,
            [this](const QString &text) { m_line[15]->setText(text + kRssSuffix); });
}

void SiteEditor::setBoxTabOrder()
{
    // Boxes row by row, right-hand box first; the buttons after them.
    QList<QWidget *> order;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 12, 8, 13, 14, 15, 9, 10, 11})
        order << box(n);
    order << m_check << m_addSubject;
    for (int n = 1; n <= 10; ++n)
        order << findChild<QPushButton *>(QStringLiteral("Command%1").arg(n));
    order << m_save << m_cancel;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// --- modes and records ------------------------------------------------------------------

void SiteEditor::activate()
{

    rebuildSubjects();

    switch (m_mode) {
    case Mode::Edit:
        setWindowTitle(kCaptionEdit);
        m_save->setText(kStore);
        m_cancel->setText(kCancel);
        loadRecord();
        break;
    case Mode::View:
        setWindowTitle(kCaptionView);
        m_save->setEnabled(false);
        m_cancel->setText(kExit);
        if (m_check->isChecked()) {
            m_check->setChecked(false);
            setPasswordMasked(true);
        }
        loadRecord();
        break;
    case Mode::New:
        break;
    }
    setViewLook(m_mode == Mode::View);
    updateBanner();
    m_line[1]->setFocus();
}

void SiteEditor::rebuildSubjects()
{
    const auto subjects = m_context.store.categories();
    if (!subjects) {
        reportReadFailure(QStringLiteral("فهرست موضوعات از بانک اطلاعاتي خوانده نشد"),
                          subjects.error());
        return;
    }
    if (subjects->isEmpty())
        return;
    m_subject->clear();
    for (const auto &s : *subjects)
        m_subject->addItem(s.title);
    m_subject->setCurrentIndex(-1);
}

void SiteEditor::loadRecord()
{
    const auto record = m_context.store.site(m_recordId);
    if (!record) {
        reportReadFailure(QStringLiteral("مشخصات سايت از بانک اطلاعاتي خوانده نشد"),
                          record.error());
        return;
    }
    setRecord(*record);
}

void SiteEditor::setViewLook(bool view)
{
    // A stored password is looked at, not made, in view mode.
    m_strength->setVisible(!view);
    for (int n = 1; n <= 15; ++n) {
        if (n == 3)
            continue;
        if (n == 11)
            m_notes->setReadOnly(view);
        else
            m_line[size_t(n)]->setReadOnly(view);
    }
    for (int n : kLinkBoxes) {
        QLineEdit *box = m_line[size_t(n)];
        QFont f = box->font();
        f.setUnderline(view);
        box->setFont(f);
        box->setToolTip(view ? kClickHere : QString());
        zorbin::common::setHandPointer(box, view);
    }
}

QString SiteEditor::boxText(int number) const
{
    if (number == 3)
        return m_subject->currentText();
    if (number == 11)
        return m_notes->storedText();
    return m_line[size_t(number)]->text();
}

void SiteEditor::setBoxText(int number, const QString &text)
{
    if (number == 3)
        m_subject->setCurrentIndex(
            m_subject->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    else if (number == 11)
        m_notes->setStoredText(text);
    else
        m_line[size_t(number)]->setText(text);
}

SiteRecord SiteEditor::record() const
{
    SiteRecord typed;
    typed.id = m_recordId;
    for (const FieldBox &fb : kFieldBoxes)
        typed[fb.field] = boxText(fb.box);
    return typed;
}

void SiteEditor::setRecord(const SiteRecord &record)
{
    // A field without a value leaves its box as it was.
    for (const FieldBox &fb : kFieldBoxes) {
        if (!record[fb.field].isNull())
            setBoxText(fb.box, record[fb.field]);
    }
    // Long addresses show from their beginning.
    for (QLineEdit *line : m_line) {
        if (line)
            line->home(false);
    }
}

void SiteEditor::clearBoxes()
{
    for (int n = 1; n <= 15; ++n)
        setBoxText(n, QString());
    m_subject->setCurrentIndex(-1);
}

void SiteEditor::save()
{
    if (m_mode == Mode::View)
        return;
    const SiteRecord typed = record();
    if (!zorbin::store::hasStarredFields(typed)) {
        Dialogs::warn(this, kStarred);
        return;
    }
    const QString typedTitle = typed[zorbin::store::Onvan];
    const SiteRecord record = zorbin::store::storedForm(typed);
    auto &store = m_context.store;
    if (!storeRecord(
            QStringLiteral("اطلاعات سايت در بانک اطلاعاتي ذخيره نشد"),
            [&] { return store.updateSite(record); },
            [&] { return store.siteTitleExists(record[zorbin::store::Onvan]); },
            [&] { return store.insertSite(record); }, kDuplicate, m_line[1]))
        return;
    const QString title = zorbin::store::shortened(typedTitle);
    if (m_mode == Mode::Edit)
        Dialogs::inform(this,
                        QStringLiteral(" اطلاعات سايت ") + title + QStringLiteral(" به روز شد"));
    else
        Dialogs::inform(this, QStringLiteral("سايت ") + title + QStringLiteral(" ثبت شد"));
    clearBoxes();
    accept();
}

void SiteEditor::addSubject()
{
    {
        SubjectsWindow dlg(m_context, this);
        Dialogs::exec(dlg);
    }
    activate();
}

void SiteEditor::showHelp(int number)
{
    const Hint &hint = hintFor(number);
    Dialogs::inform(this, hint.text, hint.rightAligned);
    m_line[size_t(hint.box)]->setFocus();
}

void SiteEditor::passwordCheckClicked()
{
    setPasswordMasked(!m_check->isChecked());
    m_line[10]->setFocus();
}

void SiteEditor::setPasswordMasked(bool masked)
{
    m_line[10]->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

bool SiteEditor::link(const QString &address)
{
    return desktop::openAddress(address);
}

bool SiteEditor::openLinkBox(QObject *box)
{
    if (box == m_line[4]) {
        if (m_line[4]->text().trimmed().isEmpty())
            return false;
        return desktop::openUrl(
            desktop::mailtoUrl(m_line[4]->text(), m_line[16]->text(), m_line[17]->text()));
    }
    return link(static_cast<QLineEdit *>(box)->text());
}

bool SiteEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (m_mode == Mode::View && watched == m_subject) {
        // The subject list is locked: it keeps the focus and its text can be copied, but
        // nothing picks another item.
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->matches(QKeySequence::Copy)) {
                QApplication::clipboard()->setText(m_subject->currentText());
                return true;
            }
            switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
                return false;
            default:
                return true;
            }
        }
        default:
            break;
        }
        return false;
    }
    if (m_mode == Mode::View && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *box = qobject_cast<QLineEdit *>(watched);
        const bool isLink =
            std::find(kLinkBoxes.begin(), kLinkBoxes.end(),
                      int(std::find(m_line.begin(), m_line.end(), box) - m_line.begin())) !=
            kLinkBoxes.end();
        if (box && isLink && mouse->button() == Qt::LeftButton && !box->hasSelectedText() &&
            box->rect().contains(mouse->position().toPoint()))
            openLinkBox(box);
    }
    return QDialog::eventFilter(watched, event);
}

void SiteEditor::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // Showing a dialog tells its focus box that it was tabbed into, and a line box then
    // selects its whole text: the first key would replace the stored title. The caret
    // goes after the title instead, nothing selected.
    if (visible)
        m_line[1]->end(false);
}

} // namespace zorbin::sites
