#include "contacts/contacteditor.h"

#include "common/appearance.h"
#include "common/banner.h"
#include "common/dialogs.h"
#include "common/endcaretedit.h"
#include "common/handpointer.h"
#include "common/icons.h"
#include "common/textboxes.h"
#include "store/contactpictures.h"
#include "store/messages.h"
#include "store/pictures.h"
#include "store/store.h"
#include "store/text.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <limits>

namespace zorbin::contacts {

using zorbin::common::Dialogs;
using zorbin::store::ContactRecord;
using zorbin::store::userMessage;
namespace pictures = zorbin::store;

namespace {

const QString kCaptionNew = QStringLiteral("مخاطب جديد");
const QString kCaptionEdit = QStringLiteral("ويرايش مشخصات");
const QString kCaptionView = QStringLiteral("مشاهده مشخصات");
const QString kRegister = QStringLiteral("ثبت");
const QString kStore = QStringLiteral("ذخيره");
const QString kCancel = QStringLiteral("انصراف");
const QString kExit = QStringLiteral("خروج");
const QString kStarred = QStringLiteral(" لطفاً فيلدهاي ستاره دار را وارد کنيد");
const QString kDuplicate = QStringLiteral("مخاطبي با اين شماره تلفن همراه قبلاً ثبت شده است ");
const QString kClickHere = QStringLiteral("کليک کنيد");
const QString kChoosePicture = QStringLiteral("انتخاب عکس");
const QString kPictureDialogTitle = QStringLiteral("انتخاب عکس مخاطب");
const QString kPictureFilter =
    QStringLiteral("All Picture(*.jpg,*.jpeg,*.bmp,*.gif) (*.jpg *.jpeg *.bmp *.gif)");
const QString kSitePrefix = QStringLiteral("http://");

struct Field
{
    const char *label;
    QString caption;
};

// Labels of Text1 to Text9 and of the picture, by box number (0 unused, 10 the picture).
const std::array<Field, 11> &fields()
{
    static const std::array<Field, 11> list{{
        {"", QString()},
        {"Label1", QStringLiteral("*:نام و نام خانوادگي")},
        {"Label2", QStringLiteral("*:گروه/محل")},
        {"Label3", QStringLiteral("*:تلفن همراه")},
        {"Label4", QStringLiteral(":تلفن منزل")},
        {"Label5", QStringLiteral(":تلفن محل کار")},
        {"Label6", QStringLiteral(":ايميل")},
        {"Label7", QStringLiteral(":وب سايت")},
        {"Label8", QStringLiteral(":شغل يا تخصص")},
        {"Label9", QStringLiteral(":آدرس سکونت يا کار")},
        {"Label10", QStringLiteral(":عکس")},
    }};
    return list;
}

// The field's name for a screen reader: the label without its star and colon.
QString plainName(const QString &caption)
{
    QString name = caption;
    name.remove(QLatin1Char('*'));
    name.remove(QLatin1Char(':'));
    return name.trimmed();
}

struct Help
{
    int box; // the box the focus goes to afterwards
    QString text;
    bool rightAligned;
};

const Help &helpFor(int number)
{
    static const std::array<Help, 4> list{{
        {0, QString(), false},
        {2, QStringLiteral("دوستان \r\nهمکاران \r\nخانواده \r\nاقوام "), true},
        {6, QStringLiteral("info@example.com\r\nexample@yahoo.com\r\nexample@gmail.com"), false},
        {7, QStringLiteral("http://example.com"), false},
    }};
    return list[size_t(number)];
}

// The help button that stands beside each box.
int helpBeside(int box)
{
    switch (box) {
    case 2:
        return 1;
    case 6:
        return 2;
    case 7:
        return 3;
    default:
        return 0;
    }
}

// The default picture: the data folder's none.jpg, else the program's own copy of it.
QImage defaultPicture(const QString &dataFolder)
{
    if (auto image = zorbin::store::loadPicture(zorbin::store::defaultPicturePath(dataFolder)))
        return *image;
    return QImage(QStringLiteral(":/none.jpg"));
}

} // namespace

ContactEditor::ContactEditor(zorbin::common::Context &context, Mode mode, qint64 id,
                             QWidget *parent)
    : RecordWindow(context, QStringLiteral("Contact"), mode, id, parent)
{
    buildWindow();
    setPicture(defaultPicture(m_context.dataFolder));
}

ContactEditor::~ContactEditor() = default;

void ContactEditor::buildWindow()
{
    setWindowTitle(kCaptionNew);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 10);
    outer->addWidget(new zorbin::common::Banner(zorbin::common::iconPath(u"person-badge"), this));

    makeBoxes();
    auto *body = new QHBoxLayout;
    body->setContentsMargins(12, 6, 12, 0);
    body->setSpacing(18);
    body->addWidget(makeFields(), 1);
    body->addWidget(makePictureColumn(), 0, Qt::AlignTop);
    outer->addLayout(body);

    outer->addLayout(makeButtonRow(kRegister, kCancel));
    setBoxTabOrder();
}

void ContactEditor::makeBoxes()
{
    for (int n = 1; n <= 8; ++n) {
        QLineEdit *line = n == 7 ? new zorbin::common::EndCaretEdit(this) : new QLineEdit(this);
        line->setObjectName(QStringLiteral("Text%1").arg(n));
        // Stored texts of any length come back whole.
        line->setMaxLength(std::numeric_limits<int>::max());
        line->setMinimumWidth(260);
        if (n == 6 || n == 7) {
            line->setLayoutDirection(Qt::LeftToRight);
            line->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
        } else {
            line->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        }
        m_line[size_t(n)] = line;
    }
    m_line[7]->setText(kSitePrefix);

    m_address = new zorbin::common::NotesEdit(this);
    m_address->setObjectName(QStringLiteral("Text9"));
    m_address->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_address->setTabChangesFocus(true);
    m_address->setFixedHeight(72);
    QTextOption option = m_address->document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    m_address->document()->setDefaultTextOption(option);
}

QWidget *ContactEditor::makeFields()
{
    auto *panel = new QWidget(this);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    for (int n = 1; n <= 9; ++n) {
        const Field &field = fields()[size_t(n)];
        auto *label = new QLabel(field.caption, panel);
        label->setObjectName(QString::fromLatin1(field.label));
        zorbin::common::keepVisualOrder(label);
        QWidget *box = n == 9 ? static_cast<QWidget *>(m_address) : m_line[size_t(n)];
        label->setBuddy(box);
        box->setAccessibleName(plainName(field.caption));
        if (n == 9)
            label->setAlignment(Qt::AlignTop | Qt::AlignRight | Qt::AlignAbsolute);
        grid->addWidget(label, n - 1, 0);
        grid->addWidget(box, n - 1, 1);
        if (const int help = helpBeside(n)) {
            QPushButton *button = makeHelpButton(help);
            button->setAccessibleName(QStringLiteral("راهنماي ") + plainName(field.caption));
            grid->addWidget(button, n - 1, 2);
        }
    }
    return panel;
}

QWidget *ContactEditor::makePictureColumn()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    const Field &field = fields()[10];
    auto *label = new QLabel(field.caption, panel);
    label->setObjectName(QString::fromLatin1(field.label));
    zorbin::common::keepVisualOrder(label);

    m_image = new QLabel(panel);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setFixedSize(150, 180);
    m_image->setScaledContents(true);
    m_image->setFrameShape(QFrame::StyledPanel);
    m_image->setToolTip(kClickHere);
    m_image->setAccessibleName(plainName(field.caption));
    m_image->setFocusPolicy(Qt::NoFocus);
    m_image->installEventFilter(this);
    zorbin::common::setHandPointer(m_image, true, Qt::ArrowCursor);
    label->setBuddy(m_image);

    m_choose = new QPushButton(kChoosePicture, panel);
    m_choose->setObjectName(QStringLiteral("Command4"));
    m_choose->setAutoDefault(false);
    connect(m_choose, &QPushButton::clicked, this, &ContactEditor::choosePicture);

    column->addWidget(label);
    column->addWidget(m_image);
    column->addWidget(m_choose);
    return panel;
}

void ContactEditor::setBoxTabOrder()
{
    const QList<QWidget *> order{m_line[1],
                                 m_line[2],
                                 findChild<QPushButton *>(QStringLiteral("Command1")),
                                 m_line[3],
                                 m_line[4],
                                 m_line[5],
                                 m_line[6],
                                 findChild<QPushButton *>(QStringLiteral("Command2")),
                                 m_line[7],
                                 findChild<QPushButton *>(QStringLiteral("Command3")),
                                 m_line[8],
                                 m_address,
                                 m_choose,
                                 m_save,
                                 m_cancel};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// --- modes and records ------------------------------------------------------------------

void ContactEditor::activate()
{
    switch (m_mode) {
    case Mode::Edit:
        setWindowTitle(kCaptionEdit);
        m_save->setText(kStore);
        loadRecord();
        break;
    case Mode::View:
        setWindowTitle(kCaptionView);
        m_save->setEnabled(false);
        m_cancel->setText(kExit);
        loadRecord();
        break;
    case Mode::New:
        break;
    }
    const bool view = m_mode == Mode::View;
    for (int n = 1; n <= 8; ++n)
        m_line[size_t(n)]->setReadOnly(view);
    m_address->setReadOnly(view);
    // In view mode the picture looks as always; only the click and the hand are off.
    zorbin::common::setHandPointer(m_image, !view, Qt::ArrowCursor);
    m_image->setToolTip(view ? QString() : kClickHere);
    updateBanner();
    m_line[1]->setFocus();
}

void ContactEditor::loadRecord()
{
    const auto record = m_context.store.contact(m_recordId);
    if (!record) {
        reportReadFailure(QStringLiteral("مشخصات مخاطب از بانک اطلاعاتي خوانده نشد"),
                          record.error());
        return;
    }
    setRecord(*record);
    m_loadedMobile = record->mobile;
    // The picture named after the number just shown; without one the default stays.
    const QString path = zorbin::store::picturePath(m_context.dataFolder, m_line[3]->text());
    if (auto image = zorbin::store::loadPicture(path))
        setPicture(*image);
}

QString ContactEditor::boxText(int number) const
{
    if (number == 9)
        return m_address->storedText();
    return m_line[size_t(number)]->text();
}

void ContactEditor::setBoxText(int number, const QString &text)
{
    if (number == 9) {
        m_address->setStoredText(text);
    } else {
        m_line[size_t(number)]->setText(text);
        m_line[size_t(number)]->home(false);
    }
}

ContactRecord ContactEditor::record() const
{
    ContactRecord typed;
    typed.id = m_recordId;
    typed.name = boxText(1);
    typed.group = boxText(2);
    typed.mobile = boxText(3);
    typed.home = boxText(4);
    typed.office = boxText(5);
    typed.email = boxText(6);
    typed.site = boxText(7);
    typed.job = boxText(8);
    typed.address = boxText(9);
    typed.image = zorbin::store::pictureFileName(zorbin::store::trimBlanks(typed.mobile));
    return typed;
}

void ContactEditor::setRecord(const ContactRecord &record)
{
    const std::array<const QString *, 10> texts{
        nullptr,        &record.name,  &record.group, &record.mobile, &record.home,
        &record.office, &record.email, &record.site,  &record.job,    &record.address};
    for (int n = 1; n <= 9; ++n)
        setBoxText(n, *texts[size_t(n)]);
}

void ContactEditor::clearBoxes()
{
    for (int n = 1; n <= 9; ++n)
        setBoxText(n, QString());
}

void ContactEditor::setPicture(const QImage &image)
{
    m_picture = image;
    m_image->setPixmap(QPixmap::fromImage(image));
}

void ContactEditor::choosePicture()
{
    const QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path = Dialogs::openFileName(
        this, kPictureDialogTitle, QDir(start).exists() ? start : QDir::homePath(), kPictureFilter);
    if (path.isEmpty())
        return;
    const auto image = zorbin::store::loadPicture(path);
    if (!image) {
        Dialogs::error(this, QStringLiteral("اين فايل عکس نيست يا خوانده نشد"));
        return;
    }
    setPicture(*image);
    m_pictureChosen = true;
}

void ContactEditor::save()
{
    if (m_mode == Mode::View)
        return;
    const ContactRecord typed = record();
    // The check is on the texts as typed: blanks alone pass and are stored empty.
    if (typed.name.isEmpty() || typed.group.isEmpty() || typed.mobile.isEmpty()) {
        Dialogs::warn(this, kStarred);
        return;
    }
    ContactRecord stored = typed;
    for (QString *text : {&stored.name, &stored.group, &stored.mobile, &stored.home, &stored.office,
                          &stored.email, &stored.site, &stored.job, &stored.address})
        *text = zorbin::store::trimBlanks(*text);
    auto &store = m_context.store;
    if (!storeRecord(
            QStringLiteral("اطلاعات مخاطب در بانک اطلاعاتي ذخيره نشد"),
            [&] { return store.updateContact(stored); },
            [&] { return store.contactMobileExists(stored.mobile); },
            [&] {
                auto id = store.insertContact(stored);
                if (id)
                    m_savedId = *id;
                return id;
            },
            kDuplicate, m_line[3]))
        return;
    const bool added = m_mode == Mode::New;
    const QString name = zorbin::store::shortened(typed.name);
    const QString done =
        added ? QStringLiteral(" مخاطب ") + name + QStringLiteral(" ثبت شد ")
              : QStringLiteral(" اطلاعات مخاطب ") + name + QStringLiteral(" به روز شد");

    // The row is stored; a picture chosen here is written under the stored number, and a
    // picture already on disk is left as it is (moved along when the number changed). When
    // that fails the user is told, and the contact itself stays saved.
    zorbin::store::PictureSave pictureSave;
    pictureSave.id = added ? m_savedId : stored.id;
    pictureSave.isNew = added;
    pictureSave.oldMobile = m_loadedMobile;
    pictureSave.mobile = stored.mobile;
    if (m_pictureChosen)
        pictureSave.chosen = m_picture;
    if (!zorbin::store::savePictureFor(store, m_context.dataFolder, pictureSave)) {
        Dialogs::error(this, done.trimmed() + QStringLiteral("، اما عکس مخاطب ذخيره نشد"));
    } else {
        Dialogs::inform(this, done);
    }
    clearBoxes();
    accept();
}

void ContactEditor::showHelp(int number)
{
    const Help &help = helpFor(number);
    Dialogs::inform(this, help.text, help.rightAligned);
    m_line[size_t(help.box)]->setFocus();
}

bool ContactEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_image && event->type() == QEvent::MouseButtonRelease && m_mode != Mode::View &&
        m_image->isEnabled()) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_image->rect().contains(mouse->position().toPoint())) {
            choosePicture();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zorbin::contacts
