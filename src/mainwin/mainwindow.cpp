#include "mainwin/mainwindow.h"

#include "calendar/jalali.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "common/maker.h"
#include "common/recordgrid.h"
#include "common/textboxes.h"
#include "mainwin/mainmenus.h"
#include "mainwin/siteactions.h"
#include "mainwin/sitelistdelegate.h"
#include "mainwin/sitelistmodel.h"
#include "sites/siteeditor.h"
#include "store/messages.h"
#include "store/store.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using zorbin::sites::SiteEditor;

namespace zorbin::mainwin {

using zorbin::common::Dialogs;
using zorbin::store::SearchColumn;

namespace {

// How the search box looks for each column of the search list.
struct SearchLook
{
    SearchColumn column;
    Qt::Alignment alignment;
    const char *fontFamily;
    int pointSize;
    const char *text;
};

const SearchLook searchLooks[] = {
    {SearchColumn::Onvan, Qt::AlignRight, "B Yekan", 8, ""},
    {SearchColumn::Address, Qt::AlignLeft, "Tahoma", 9, "http://"},
    {SearchColumn::Mozoo, Qt::AlignRight, "B Yekan", 8, ""},
    {SearchColumn::Modir, Qt::AlignRight, "B Yekan", 8, ""},
};

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

MainWindow::MainWindow(zorbin::common::Context &context, QWidget *parent)
    : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("Main_Page"));
    setWindowTitle(QStringLiteral("Zorbin"));
    setLayoutDirection(Qt::RightToLeft);

    // The menu bar comes first; the commands act on this window's list.
    m_menus = new MainMenus(this);
    m_actions = new SiteActions(context, *this, this);
    connect(m_menus, &MainMenus::commandTriggered, m_actions, &SiteActions::dispatch);
    connect(m_menus, &MainMenus::popupPrintTriggered, m_actions, &SiteActions::printSelectedRow);

    m_model = new SiteListModel(context.store, this);
    buildWidgets();
    // Before the first row's texts reach the holders.
    zorbin::common::liftLengthLimits(this);

    // The list, the total and the search column as the window opens.
    showFirstScreen();
    m_listFresh = true;
    m_combo->setCurrentIndex(0);
    chooseSearchColumn(0, false);
    updateHolders();

    tick();
    resize(1100, 650);
}

void MainWindow::buildWidgets()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    central->setFont(zorbin::common::windowFont(9));
    setCentralWidget(central);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(buildSearchRow(central));
    layout->addWidget(buildGrid(central), 1);
    buildHolders(central);
    layout->addWidget(buildInfoRow(central));
    buildStatusBar();

    setTabOrder(m_combo, m_search);
    setTabOrder(m_search, m_refresh);
    setTabOrder(m_refresh, m_grid);

    buildClock();
}

// The search row: the column to search and the words to find.
QWidget *MainWindow::buildSearchRow(QWidget *central)
{
    auto *searchBox = new QGroupBox(central);
    searchBox->setObjectName(QStringLiteral("Frame_Search"));
    auto *searchRow = new QHBoxLayout(searchBox);
    auto *label5 = makeLabel(searchBox, "Label5", QStringLiteral(":جستجو بر اساس "));
    zorbin::common::keepVisualOrder(label5);
    m_combo = new QComboBox(searchBox);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->addItems({QStringLiteral("عنوان سايت"), QStringLiteral("آدرس سايت"),
                       QStringLiteral("موضوع سايت"), QStringLiteral("مدير سايت")});
    m_combo->setMinimumWidth(130);
    label5->setBuddy(m_combo);
    auto *label10 = makeLabel(searchBox, "Label10", QStringLiteral(":واژه"));
    zorbin::common::keepVisualOrder(label10);
    m_search = new QLineEdit(searchBox);
    m_search->setObjectName(QStringLiteral("Text1"));
    m_search->setMinimumWidth(260);
    m_search->installEventFilter(this);
    label10->setBuddy(m_search);
    m_refresh = new zorbin::common::IconTextButton(zorbin::common::icon(u"arrow-repeat"),
                                                   QStringLiteral("مرتب کن"), searchBox);
    m_refresh->setObjectName(QStringLiteral("Button_Refresh"));
    searchRow->addWidget(label5);
    searchRow->addWidget(m_combo);
    searchRow->addSpacing(16);
    searchRow->addWidget(label10);
    searchRow->addWidget(m_search, 1);
    searchRow->addSpacing(16);
    searchRow->addWidget(m_refresh);

    connect(m_combo, &QComboBox::activated, this,
            [this](int position) { chooseSearchColumn(position, true); });
    connect(m_search, &QLineEdit::textChanged, this, [this] { runSearch(); });
    connect(m_refresh, &QPushButton::clicked, this, [this] { refreshClicked(); });
    return searchBox;
}

QTableView *MainWindow::grid() const
{
    return m_grid;
}

// The site grid.
QWidget *MainWindow::buildGrid(QWidget *central)
{
    // The e-mail column takes what the designed widths leave of a wider window.
    m_grid = new zorbin::common::RecordGrid(SiteListModel::ColumnCount, &SiteListModel::columnWidth,
                                            central);
    m_grid->setObjectName(QStringLiteral("VSG"));
    m_grid->setAccessibleName(QStringLiteral("فهرست سایت‌ها"));
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new SiteListDelegate(m_grid));
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateHolders(); });
    connect(m_model, &SiteListModel::listReplaced, this, [this] {
        if (m_loading == Loading::RestOfAll && m_total->text().isEmpty()) {
            // The full list was still being read for its total: the total is counted now.
            m_totalOwed = true;
            readRestAfterPaint();
        }
        m_loading = Loading::Nothing;
        selectFirstRow();
        updateFoundCount();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { updateFoundCount(); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { updateFoundCount(); });
    return m_grid;
}

// Holders of the current row for the site actions; never shown.
void MainWindow::buildHolders(QWidget *central)
{
    m_nameCall = makeLabel(central, "NameCall", QString());
    m_nameCall->hide();
    m_addressHolder = new QLineEdit(central);
    m_addressHolder->setObjectName(QStringLiteral("Text2"));
    m_addressHolder->hide();
    m_mobileHolder = new QLineEdit(central);
    m_mobileHolder->setObjectName(QStringLiteral("Text3"));
    m_mobileHolder->hide();
}

// Clock, date and counters.
QWidget *MainWindow::buildInfoRow(QWidget *central)
{
    auto *info = new QFrame(central);
    info->setObjectName(QStringLiteral("Frame_Status"));
    info->setFrameShape(QFrame::StyledPanel);
    auto *infoRow = new QHBoxLayout(info);
    auto addPair = [&](const char *captionName, const QString &caption, const char *valueName,
                       const QString &value) {
        auto *captionLabel = makeLabel(info, captionName, caption);
        zorbin::common::keepVisualOrder(captionLabel);
        auto *valueLabel = makeLabel(info, valueName, value);
        captionLabel->setBuddy(valueLabel);
        infoRow->addWidget(captionLabel);
        infoRow->addWidget(valueLabel);
        return valueLabel;
    };
    m_clock = addPair("Label11", QStringLiteral(":ساعت"), "Label2", QStringLiteral("00 : 00 : 00"));
    // Digits and colons read left to right in any window direction.
    zorbin::common::keepVisualOrder(m_clock);
    m_clock->setTextFormat(Qt::PlainText);
    infoRow->addSpacing(24);
    m_date = addPair("Label1", QStringLiteral(":امروز"), "Label8", QString());
    infoRow->addStretch(1);
    m_found = addPair("Label6", QStringLiteral(":يافته ها"), "Label7", QStringLiteral("0"));
    infoRow->addSpacing(24);
    m_total = addPair("Label3", QStringLiteral(":تعداد کل"), "Label4", QStringLiteral("0"));
    return info;
}

// The product line at the foot of the window.
void MainWindow::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("AeroStatusBar1"));
    m_statusBar->setFont(zorbin::common::windowFont(9));
    m_statusBar->setSizeGripEnabled(false);
    auto *product = new QLabel(QStringLiteral(" »  Zorbin v2.0") + zorbin::common::maker::notice(),
                               m_statusBar);
    product->setObjectName(QStringLiteral("AeroStatusBar1Text"));
    // The product line starts with the Latin product name and reads left to right.
    zorbin::common::keepVisualOrder(product);
    // Kept off the window's edge, as the other rows of the window are.
    const int room = product->fontMetrics().averageCharWidth() * 2;
    product->setContentsMargins(room, 0, room, 0);
    m_statusBar->addWidget(product, 1);
    setStatusBar(m_statusBar);
}

void MainWindow::buildClock()
{
    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("ClockTimer"));
    m_clockTimer->setSingleShot(true);
    m_clockTimer->setTimerType(Qt::PreciseTimer);
    connect(m_clockTimer, &QTimer::timeout, this, [this] { tick(); });
    m_loadTimer = new QTimer(this);
    m_loadTimer->setSingleShot(true);
    connect(m_loadTimer, &QTimer::timeout, this, [this] { loadMoreOfList(); });
}

// --- list -------------------------------------------------------------------------------

void MainWindow::noteListRead(const zorbin::store::Result<void> &read)
{
    if (read) {
        m_failureShown = false;
        return;
    }
    // One message until the list can be read again; the window stays usable.
    if (m_failureShown)
        return;
    m_failureShown = true;
    Dialogs::error(
        this,
        zorbin::store::userMessage(
            QStringLiteral(
                "فهرست سایت‌ها از بانک اطلاعات خوانده نشد."),
            read.error()));
}

void MainWindow::showFullList()
{
    const zorbin::store::Result<void> listed = m_model->showAll();
    const zorbin::store::Result<qint64> total = m_context.store.siteCount();
    // A count that could not be read shows no number rather than a wrong one.
    m_total->setText(total ? QString::number(*total) : QString());
    if (listed && !total)
        noteListRead(std::unexpected(total.error()));
    else
        noteListRead(listed);
}

namespace {
// Rows read at once when the window opens: more than any screen shows.
constexpr int kFirstScreenRows = 256;
// Rows read in each later slice of a long list; a slice takes a few milliseconds.
constexpr int kSliceRows = 32768;
// Index entries read in each later slice of a long search result, a few milliseconds'
// worth at a million sites, so that typing on is never held up for long.
constexpr int kSearchSliceRows = 8192;
} // namespace

void MainWindow::showFirstScreen(bool recount)
{
    const zorbin::store::Result<bool> first = m_model->showFirstOfAll(kFirstScreenRows);
    if (!first.has_value() || *first) {
        // A short list, or one that cannot be read: all of it and its count at once.
        if (recount)
            showFullList();
        else
            noteListRead(first.has_value() ? zorbin::store::Result<void>()
                                           : std::unexpected(first.error()));
        return;
    }
    // A long list: the window shows its first screen now; the rest of the rows and the
    // total follow a slice at a time while the window already answers.
    if (recount)
        m_total->clear();
    m_loading = Loading::RestOfAll;
    readRestAfterPaint();
}

void MainWindow::readRestAfterPaint()
{
    // The grid paints the first screen first; a window that is not painted (hidden,
    // minimised) gets the rest a little later all the same.
    m_restAfterPaint = true;
    m_loadTimer->start(50);
}

bool MainWindow::loadMoreOfList()
{
    m_restAfterPaint = false;
    if (std::exchange(m_totalOwed, false)) {
        const zorbin::store::Result<qint64> total = m_context.store.siteCount();
        m_total->setText(total ? QString::number(*total) : QString());
        if (!total)
            noteListRead(std::unexpected(total.error()));
        if (m_loading != Loading::Nothing)
            m_loadTimer->start(0);
        return true;
    }
    zorbin::store::Result<bool> done = true;
    switch (m_loading) {
    case Loading::Nothing:
        return true; // another list (a search, a refresh) replaced this one meanwhile
    case Loading::RestOfAll:
        done = m_model->appendMoreOfAll(kSliceRows);
        break;
    case Loading::RestOfSearch:
        done = m_model->continueSearch(kSearchSliceRows);
        break;
    }
    if (done.has_value() && !*done) {
        m_loadTimer->start(0);
        return true;
    }
    const Loading finished = std::exchange(m_loading, Loading::Nothing);
    updateFoundCount();
    if (!done.has_value()) {
        noteListRead(std::unexpected(done.error()));
        return false;
    }
    // Every site is listed: their number is the total.
    if (finished == Loading::RestOfAll)
        m_total->setText(QString::number(m_model->rowCount()));
    return true;
}

void MainWindow::chooseSearchColumn(int position, bool byUser)
{
    if (position < 0 || position >= int(std::size(searchLooks)))
        return;
    const SearchLook &look = searchLooks[position];
    m_searchPosition = position;
    m_search->setAlignment(look.alignment | Qt::AlignAbsolute | Qt::AlignVCenter);
    m_search->setFont(zorbin::common::font(QString::fromLatin1(look.fontFamily), look.pointSize));
    if (!byUser) {
        const QSignalBlocker quiet(m_search);
        m_search->setText(QString::fromUtf8(look.text));
        return;
    }
    const QString text = QString::fromUtf8(look.text);
    if (m_search->text() == text)
        runSearch(); // the column changed, the text did not
    else
        m_search->setText(text);
    m_search->setFocus(Qt::OtherFocusReason);
}

void MainWindow::runSearch()
{
    if (m_searchPosition < 0)
        return;
    const QString text = m_search->text();
    if (text.isEmpty()) {
        // Every site, the first screen first; the total stays as it is.
        showFirstScreen(false);
        return;
    }
    // The first screen of a long result at once; the rest, and how many were found, follow.
    const zorbin::store::Result<bool> first =
        m_model->showSearchFirst(searchLooks[m_searchPosition].column, text, m_grid->screenRows());
    noteListRead(first.has_value() ? zorbin::store::Result<void>()
                                   : std::unexpected(first.error()));
    if (first.has_value() && !*first) {
        m_loading = Loading::RestOfSearch;
        updateFoundCount();
        readRestAfterPaint();
    }
}

void MainWindow::refreshClicked()
{
    showFirstScreen();
    if (!m_search->text().isEmpty()) {
        // An empty prefix lists every site, which is what the grid shows already.
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    m_search->setFocus(Qt::OtherFocusReason);
}

void MainWindow::selectFirstRow()
{
    if (m_model->rowCount() > 0) {
        m_grid->setCurrentIndex(m_model->index(0, 0));
        m_grid->scrollToTop();
    }
    updateHolders();
}

void MainWindow::updateHolders()
{
    const int row = m_grid->currentIndex().row();
    if (row < 0 || row >= m_model->rowCount()) {
        m_selectedId = 0;
        m_nameCall->clear();
        m_addressHolder->clear();
        m_mobileHolder->clear();
        return;
    }
    const zorbin::store::SiteListRow r = m_model->rowAt(row);
    m_selectedId = m_model->idAt(row);
    m_nameCall->setText(r.texts[0]);
    m_addressHolder->setText(r.texts[1]);
    m_mobileHolder->setText(r.texts[4]);
}

void MainWindow::updateFoundCount()
{
    // A search still being read shows no number until it has counted all it found.
    if (m_loading == Loading::RestOfSearch)
        m_found->clear();
    else
        m_found->setText(QString::number(m_model->rowCount()));
}

void MainWindow::openSelectedSite()
{
    if (m_model->rowCount() < 1) {
        Dialogs::warn(this, QStringLiteral("موردي براي نمايش وجود ندارد"));
        return;
    }
    SiteEditor dlg(m_context, SiteEditor::Mode::View, selectedId(), this);
    Dialogs::exec(dlg);
}

void MainWindow::showPopup(const QPoint &viewportPos, const QPoint &globalPos)
{
    if (m_model->rowCount() < 1 || !m_menus->popup())
        return;
    const QModelIndex under = m_grid->indexAt(viewportPos);
    if (under.isValid())
        m_grid->setCurrentIndex(under);
    m_menus->popup()->popup(globalPos);
}

// --- events -----------------------------------------------------------------------------

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate)
        m_backFromMessage = Dialogs::messageBoxOpen();
    if (event->type() == QEvent::WindowActivate) {
        // Back from a modal window or another program: read the whole list again. The list
        // read at load is still fresh on the first show, and a message box of this window
        // (a question before printing the found sites, say) changes nothing.
        const bool backFromMessage = m_backFromMessage;
        if (m_listFresh || m_backFromMessage) {
            m_listFresh = false;
            m_backFromMessage = false;
        } else {
            const qint64 keep = m_selectedId;
            showFullList();
            const QVector<qint64> &ids = m_model->ids();
            const auto it = std::lower_bound(ids.begin(), ids.end(), keep);
            if (keep != 0 && it != ids.end() && *it == keep) {
                const QModelIndex index = m_model->index(int(it - ids.begin()), 0);
                m_grid->setCurrentIndex(index);
                m_grid->scrollTo(index);
            }
        }
        // The window's own message boxes leave the focus where their command put it (the
        // search box after a delete or a call).
        if (!backFromMessage)
            m_grid->setFocus(Qt::ActiveWindowFocusReason);
        updateHolders();
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport()) {
        if (event->type() == QEvent::Paint && m_restAfterPaint) {
            // Runs once this paint is done.
            m_restAfterPaint = false;
            m_loadTimer->start(0);
        } else if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                showPopup(mouse->position().toPoint(), mouse->globalPosition().toPoint());
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                const QModelIndex under = m_grid->indexAt(mouse->position().toPoint());
                if (under.isValid())
                    m_grid->setCurrentIndex(under);
                openSelectedSite();
                return true;
            }
        } else if (event->type() == QEvent::ContextMenu) {
            return true; // the right button press has shown the popup already
        }
    } else if (watched == m_grid && event->type() == QEvent::ContextMenu) {
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (menuEvent->reason() == QContextMenuEvent::Keyboard) {
            const QRect rowRect = m_grid->visualRect(m_grid->currentIndex());
            const QPoint at = rowRect.isValid() ? rowRect.center() : QPoint(0, 0);
            showPopup(at, m_grid->viewport()->mapToGlobal(at));
            return true;
        }
    } else if (watched == m_search && event->type() == QEvent::FocusIn) {
        // Typing continues after the text (after "http://" for addresses), once the line
        // edit has finished its own focus handling.
        QMetaObject::invokeMethod(
            m_search, [this] { m_search->end(false); }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- clock ------------------------------------------------------------------------------

void MainWindow::tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_clock->setText(now.time().toString(QStringLiteral("hh : mm : ss")));
    if (now.date() != m_shownDate) {
        m_shownDate = now.date();
        m_date->setText(zorbin::calendar::dateLine(m_shownDate));
    }
    armClock();
}

void MainWindow::armClock()
{
    // Wake just after the next whole second.
    const int msec = QTime::currentTime().msec();
    m_clockTimer->start(1000 - msec + 1);
}

// --- SiteListAccess ---------------------------------------------------------------------

int MainWindow::shownCount() const
{
    return m_model->rowCount();
}

bool MainWindow::readWholeList()
{
    if (m_loading == Loading::Nothing)
        return true;
    // The command that asked stops when the rest cannot be read: the user hears why, even
    // when the list's first failure was told already.
    m_failureShown = false;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    bool read = true;
    while (read && m_loading != Loading::Nothing)
        read = loadMoreOfList();
    m_loadTimer->stop();
    QGuiApplication::restoreOverrideCursor();
    return read;
}

qint64 MainWindow::selectedId() const
{
    const int row = m_grid->currentIndex().row();
    return m_model->idAt(row);
}

QString MainWindow::selectedTitle() const
{
    return m_nameCall->text();
}

QString MainWindow::selectedAddress() const
{
    return m_addressHolder->text();
}

QString MainWindow::selectedMobile() const
{
    return m_mobileHolder->text();
}

QVector<zorbin::store::SiteListRow> MainWindow::shownRows() const
{
    return m_model->allRows();
}

zorbin::store::Result<void>
MainWindow::forEachShownRow(const std::function<bool(const zorbin::store::SiteListRow &)> &sink,
                            int first) const
{
    return m_model->forEachRow(sink, first);
}

void MainWindow::reloadList()
{
    showFullList();
}

void MainWindow::focusSearch()
{
    m_search->setFocus(Qt::OtherFocusReason);
}

} // namespace zorbin::mainwin
