#include "contacts/phonebookwindow.h"

#include "common/appearance.h"
#include "common/banner.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/elidedlabel.h"
#include "common/icons.h"
#include "common/recordgrid.h"
#include "contacts/contacteditor.h"
#include "contacts/contactlistmodel.h"
#include "contacts/contactlistreport.h"
#include "store/contactpictures.h"
#include "store/messages.h"
#include "store/store.h"
#include "tools/importwindow.h"
#include "tools/recordexport.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace zorbin::contacts {

using zorbin::common::Dialogs;
using zorbin::store::ContactSearchColumn;
using zorbin::store::userMessage;
namespace desktop = zorbin::common::desktop;

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString kByName = QStringLiteral("نام و  نام خانوادگي");
const QString kByMobile = QStringLiteral("تلفن همراه");

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const char *icon)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setIcon(zorbin::common::icon(QString::fromLatin1(icon)));
    return button;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

PhoneBookWindow::PhoneBookWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Phone"));
    setWindowTitle(QStringLiteral("دفترچه تلفن"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont());
    m_model = new ContactListModel(m_context.store, this);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 10);
    outer->addWidget(
        new zorbin::common::Banner(zorbin::common::iconPath(u"journal-bookmark"), this));
    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 6, 12, 0);
    body->addWidget(buildSearchRow());
    body->addWidget(buildGrid(), 1);
    body->addWidget(buildCallRow());
    body->addWidget(buildButtons());
    outer->addLayout(body, 1);
    resize(900, 560);

    setTabOrder(m_combo, m_search);
    setTabOrder(m_search, m_grid);

    // The list is read at creation; the first activation finds it fresh.
    reloadList();
}

QWidget *PhoneBookWindow::buildSearchRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label5 = makeLabel(row, "Label5", QStringLiteral(":جستجو"));
    zorbin::common::keepVisualOrder(label5);
    m_combo = new QComboBox(row);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->addItems({kByName, kByMobile});
    label5->setBuddy(m_combo);
    auto *label2 = makeLabel(row, "Label2", QStringLiteral(":واژه"));
    zorbin::common::keepVisualOrder(label2);
    m_search = new QLineEdit(row);
    m_search->setObjectName(QStringLiteral("Text1"));
    m_search->setMaxLength(std::numeric_limits<int>::max());
    m_search->setMinimumWidth(240);
    label2->setBuddy(m_search);
    layout->addWidget(label5);
    layout->addWidget(m_combo);
    layout->addSpacing(16);
    layout->addWidget(label2);
    layout->addWidget(m_search, 1);

    connect(m_combo, &QComboBox::activated, this, [this] { chooseSearchColumn(); });
    connect(m_search, &QLineEdit::textChanged, this, [this] { runSearch(); });
    return row;
}

QWidget *PhoneBookWindow::buildGrid()
{
    m_grid = new zorbin::common::RecordGrid(ContactListModel::ColumnCount,
                                            &ContactListModel::columnWidth, this);
    m_restTimer = new QTimer(this);
    m_restTimer->setSingleShot(true);
    connect(m_restTimer, &QTimer::timeout, this, [this] { readMoreOfSearch(); });
    m_grid->setObjectName(QStringLiteral("VSG"));
    m_grid->setAccessibleName(QStringLiteral("فهرست مخاطبان"));
    m_grid->setModel(m_model);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_grid->viewport()->installEventFilter(this);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateCallSelection(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_model->rowCount() > 0)
            m_grid->setCurrentIndex(m_model->index(0, 1));
        updateCallSelection();
    });
    return m_grid;
}

QWidget *PhoneBookWindow::buildCallRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label3 = makeLabel(row, "Label3", QStringLiteral("تعداد کل:"));
    m_count = makeLabel(row, "Label4", QStringLiteral("#"));
    m_count->setAccessibleName(QStringLiteral("تعداد کل"));
    // A long name ends in "…" rather than widening the window.
    m_nameCall = new zorbin::common::ElidedLabel(row);
    m_nameCall->setObjectName(QStringLiteral("NameCall"));
    m_nameCall->setAccessibleName(QStringLiteral("مخاطب انتخاب شده"));
    m_mobileHolder = new QLineEdit(row);
    m_mobileHolder->setObjectName(QStringLiteral("Text2"));
    m_mobileHolder->setMaxLength(std::numeric_limits<int>::max());
    m_mobileHolder->hide();
    m_call = makeButton(row, "Button_Call", QStringLiteral("تماس با مخاطب"), "telephone-outbound");
    connect(m_call, &QPushButton::clicked, this, &PhoneBookWindow::callContact);
    layout->addWidget(label3);
    layout->addWidget(m_count);
    layout->addStretch(1);
    layout->addWidget(m_nameCall, 1);
    layout->addWidget(m_call);
    return row;
}

QWidget *PhoneBookWindow::buildButtons()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 0);
    struct ButtonInfo
    {
        const char *name;
        QString caption;
        const char *icon;
        void (PhoneBookWindow::*run)();
    };
    const ButtonInfo buttons[] = {
        {"Button_Add", QStringLiteral("مخاطب جديد"), "plus-square", &PhoneBookWindow::addContact},
        {"Button_Edit", QStringLiteral("ويرايش"), "pencil-square", &PhoneBookWindow::editContact},
        {"Button_Delete", QStringLiteral("حذف"), "trash", &PhoneBookWindow::deleteContact},
        {"Button_Print", QStringLiteral("چاپ ليست"), "printer", &PhoneBookWindow::printList},
        {"Button_Refresh", QStringLiteral("مرتب کن"), "arrow-repeat",
         &PhoneBookWindow::refreshClicked},
        {"Button_Import", QStringLiteral("ورود از vCard"), "file-earmark-arrow-down",
         &PhoneBookWindow::importContacts},
        {"Button_Export", QStringLiteral("ذخيره در vCard"), "file-earmark-arrow-up",
         &PhoneBookWindow::exportContacts},
    };
    for (const ButtonInfo &info : buttons) {
        QPushButton *button = makeButton(row, info.name, info.caption, info.icon);
        connect(button, &QPushButton::clicked, this, info.run);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return row;
}

// --- list and search --------------------------------------------------------------------

qint64 PhoneBookWindow::currentId() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? m_model->idAt(current.row()) : 0;
}

void PhoneBookWindow::reloadList()
{
    m_restTimer->stop();
    const qint64 keep = currentId();
    // Back on the name entry with an empty search box: the grid shows the full list, and
    // the box does not claim otherwise.
    m_combo->setCurrentIndex(0);
    {
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    m_searchFailed = false;
    if (const auto shown = m_model->showAll(); !shown)
        Dialogs::error(this,
                       userMessage(QStringLiteral("فهرست مخاطبين از بانک اطلاعاتي خوانده نشد"),
                                   shown.error()));
    m_count->setText(QString::number(m_model->rowCount()));

    const QVector<qint64> &ids = m_model->ids();
    const auto it = std::lower_bound(ids.begin(), ids.end(), keep);
    if (keep != 0 && it != ids.end() && *it == keep) {
        const QModelIndex index = m_model->index(int(it - ids.begin()), 1);
        m_grid->setCurrentIndex(index);
        m_grid->scrollTo(index);
    }
    updateCallSelection();
}

namespace {

// IDs of a long search read at a time after its first screen.
constexpr int kSearchSliceRows = 8192;

} // namespace

void PhoneBookWindow::runSearch()
{
    const int entry = m_combo->currentIndex();
    if (entry != 0 && entry != 1)
        return;
    const auto column = entry == 0 ? ContactSearchColumn::Name : ContactSearchColumn::Mobile;
    // The first screen of a long result at once; the rest after it is painted, a slice at a
    // time, so that the next letter typed is not kept waiting. A failed search keeps the
    // rows shown before.
    m_restTimer->stop();
    const auto whole = m_model->showSearchFirst(column, m_search->text(), m_grid->screenRows());
    if (!whole.has_value()) {
        searchFailed(whole.error());
        return;
    }
    m_searchFailed = false;
    if (!*whole)
        m_restTimer->start(50);
}

void PhoneBookWindow::readMoreOfSearch()
{
    const auto whole = m_model->continueSearch(kSearchSliceRows);
    if (!whole.has_value())
        searchFailed(whole.error());
    else if (!*whole)
        m_restTimer->start(0);
}

bool PhoneBookWindow::readRestOfSearch()
{
    if (!m_model->readingSearch())
        return true;
    m_restTimer->stop();
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const auto whole = m_model->finishSearch(kSearchSliceRows);
    QGuiApplication::restoreOverrideCursor();
    if (!whole.has_value()) {
        // The command that asked stops: the user hears why, even when told before.
        m_searchFailed = false;
        searchFailed(whole.error());
        return false;
    }
    return true;
}

void PhoneBookWindow::searchFailed(const zorbin::store::StoreError &error)
{
    // The user hears of it once, not at every keystroke.
    if (std::exchange(m_searchFailed, true))
        return;
    Dialogs::error(this, userMessage(QStringLiteral("جستجو در مخاطبين انجام نشد"), error));
}

void PhoneBookWindow::chooseSearchColumn()
{
    // Emptying the box lists every contact again.
    m_search->clear();
    m_search->setFocus();
}

void PhoneBookWindow::updateCallSelection()
{
    const QModelIndex current = m_grid->currentIndex();
    const auto row =
        current.isValid() ? m_model->rowAt(current.row()) : zorbin::store::ContactListRow();
    m_nameCall->setText(row.name);
    m_mobileHolder->setText(row.mobile);
    m_call->setEnabled(!row.mobile.isEmpty());
}

// --- commands ---------------------------------------------------------------------------

void PhoneBookWindow::openEditor(ContactEditor::Mode mode, qint64 id)
{
    m_focusSearchOnReturn = false;
    {
        ContactEditor editor(m_context, mode, id, this);
        Dialogs::exec(editor);
    }
    // A closed editor always brings back the full list, whether or not the window
    // manager hands the activation back.
    reloadList();
    m_listFresh = true;
    m_grid->setFocus();
}

void PhoneBookWindow::addContact()
{
    openEditor(ContactEditor::Mode::New);
}

void PhoneBookWindow::editContact()
{
    if (m_model->rowCount() < 1) {
        Dialogs::warn(this, QStringLiteral("موردي براي ويرايش وجود ندارد"));
        return;
    }
    openEditor(ContactEditor::Mode::Edit, currentId());
}

void PhoneBookWindow::viewContact()
{
    if (m_model->rowCount() < 1) {
        Dialogs::warn(this, QStringLiteral("موردي براي نمايش وجود ندارد"));
        return;
    }
    openEditor(ContactEditor::Mode::View, currentId());
}

void PhoneBookWindow::deleteContact()
{
    if (m_model->rowCount() < 1) {
        Dialogs::warn(this, QStringLiteral("موردي براي حذف وجود ندارد"));
        return;
    }
    const qint64 id = currentId();
    if (Dialogs::confirm(this, QStringLiteral(" آيا مي خواهيد اين مخاطب را حذف کنيد ؟")))
        deleteWithPicture(id);
    // Whatever the answer, the full list again.
    reloadList();
}

void PhoneBookWindow::deleteWithPicture(qint64 id)
{
    auto &store = m_context.store;
    const auto contact = store.contact(id);
    if (const auto deleted = store.deleteContact(id); !deleted) {
        Dialogs::error(
            this, userMessage(QStringLiteral("مخاطب از بانک اطلاعاتي حذف نشد"), deleted.error()));
        return;
    }
    // The person's photo goes with them, unless another contact has the same number.
    if (contact && !zorbin::store::releasePicture(store, m_context.dataFolder, contact->mobile, id))
        Dialogs::error(this, QStringLiteral("مخاطب حذف شد، اما فايل عکس او پاک نشد"));
}

void PhoneBookWindow::printList()
{
    if (m_model->rowCount() < 1) {
        Dialogs::warn(this, QStringLiteral("موردي براي چاپ وجود ندارد"));
        return;
    }
    if (!readRestOfSearch())
        return;
    const QStringList lines = {
        QStringLiteral("کاربر گرامي، در صورت بروز خطا در مشاهده صفحه چاپ به آدرس زير برويد"),
        QStringLiteral("Windows, XP:  Start > Settings > Control Panel > Printers and Faxes"),
        QStringLiteral("Windows Vista, 7, 8:  Start > Control Panel > Devices and Printers"),
        QStringLiteral("روي پرينتر مورد نظر راست کليک کنيد و گزينه زير را بزنيد"),
        QStringLiteral("Printing Preferences"),
        QStringLiteral("در پنجره باز شده قسمت زير را پيدا کنيد"),
        QStringLiteral("Orientation"),
        QStringLiteral("گزينه زير را فعال کنيد و تنظيمات را تائيد کنيد"),
        QStringLiteral("Landscape"),
    };
    Dialogs::inform(this, lines.join(crlf));
    // Exactly the rows the grid shows, a search included.
    if (const auto rows = m_model->allRows())
        ContactListReport(*rows).exec(this);
    else
        Dialogs::error(
            this, userMessage(QStringLiteral("فهرست مخاطبين براي چاپ خوانده نشد"), rows.error()));
    reloadList();
    m_listFresh = true;
}

void PhoneBookWindow::importContacts()
{
    {
        zorbin::tools::ImportWindow dlg(m_context, zorbin::tools::ImportWindow::Kind::Contacts,
                                        this);
        if (dlg.chooseFile())
            Dialogs::exec(dlg);
    }
    reloadList();
    m_listFresh = true;
}

void PhoneBookWindow::exportContacts()
{
    // The rows the grid shows: the whole phone book, or a search's result.
    if (!readRestOfSearch())
        return;
    zorbin::tools::RecordExport::exportContacts(m_context, m_model->ids(), this);
}

void PhoneBookWindow::callContact()
{
    const QString mobile = m_mobileHolder->text();
    if (mobile.isEmpty())
        return;
    const QStringList lines = {
        QStringLiteral("ارتباط تلفني با مدير سايت، از طريق مودم ديال آپ امکان پذير است"),
        QStringLiteral("لذا شما بايد درايور مودم خود را بطور کامل نصب کنيد و کابل تلفن خانگي"),
        QStringLiteral("را به مودم ديال آپ وصل کنيد"),
    };
    Dialogs::inform(this, lines.join(crlf));
    desktop::openUrl(desktop::telUrl(mobile));
    m_search->setFocus();
    // The phone program may take the activation; coming back, the search box keeps it.
    m_focusSearchOnReturn = true;
}

void PhoneBookWindow::refreshClicked()
{
    reloadList();
    m_search->setFocus();
}

// --- events -----------------------------------------------------------------------------

bool PhoneBookWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate)
        m_backFromMessage = Dialogs::messageBoxOpen();
    if (event->type() == QEvent::WindowActivate) {
        // Back from another window: read the whole list again. The list read just now (at
        // creation, or after the editor or the preview closed) is still fresh, and one of
        // this window's own message boxes changes nothing.
        const bool backFromMessage = m_backFromMessage;
        if (m_listFresh || m_backFromMessage) {
            m_listFresh = false;
            m_backFromMessage = false;
        } else {
            reloadList();
        }
        // A call leaves the focus in the search box, whoever had the activation meanwhile;
        // otherwise this window's own message boxes leave it where their command put it.
        if (std::exchange(m_focusSearchOnReturn, false))
            m_search->setFocus(Qt::ActiveWindowFocusReason);
        else if (!backFromMessage)
            m_grid->setFocus(Qt::ActiveWindowFocusReason);
    }
    return QDialog::event(event);
}

bool PhoneBookWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QModelIndex under = m_grid->indexAt(mouse->position().toPoint());
            if (under.isValid())
                m_grid->setCurrentIndex(under);
            viewContact();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zorbin::contacts
