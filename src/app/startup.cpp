#include "app/startup.h"

#include "app/applock.h"

#include "account/loginwindow.h"
#include "common/dialogs.h"
#include "mainwin/mainwindow.h"
#include "store/messages.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressDialog>
#include <QTimer>
#include <functional>
#include <utility>

using zorbin::account::LoginWindow;
using zorbin::mainwin::MainWindow;

namespace zorbin::app {

namespace {

// Runs `action` once, after the watched window has painted for the first time.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QObject *parent, std::function<void()> action)
        : QObject(parent), m_action(std::move(action))
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_action)
            QTimer::singleShot(0, this, std::exchange(m_action, {}));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

} // namespace

Startup::Startup(zorbin::common::Context &context, QObject *parent)
    : QObject(parent), m_context(context)
{
}

Startup::~Startup()
{
    delete m_login;
}

void Startup::start()
{
    m_login = new LoginWindow(m_context, nullptr, true);
    m_login->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_login, &LoginWindow::loggedIn, this, &Startup::showMainPage);
    m_login->installEventFilter(new AfterFirstPaint(m_login, [this] { checkDatabase(); }));
    m_login->show();
}

void Startup::checkDatabase()
{
    if (const auto verified = m_context.store.verify(); !verified) {
        zorbin::common::Dialogs::error(m_login, zorbin::store::openErrorMessage(verified.error()));
        Q_EMIT finished(1);
        return;
    }
    buildMissingIndexes();
    m_login->loadNames();
}

void Startup::buildMissingIndexes()
{
    zorbin::store::Store &store = m_context.store;
    const int missing = store.missingIndexCount();
    if (missing == 0)
        return;
    // A file made elsewhere (a restore, the converter's output) may lack the search
    // indexes; on a large one making them takes a while, which the user sees happen
    // before the first login rather than as a frozen window after it.
    QProgressDialog progress(m_login);
    progress.setObjectName(QStringLiteral("IndexProgress"));
    progress.setWindowTitle(QStringLiteral("Zorbin"));
    progress.setLabelText(QStringLiteral("فهرست‌های جستجوی بانک اطلاعات ساخته می‌شود؛ "
                                         "لطفاً "
                                         "چند "
                                         "لحظه صبر کنید..."));
    progress.setCancelButton(nullptr);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setRange(0, missing);
    progress.setValue(0);
    progress.show();
    QCoreApplication::processEvents();
    QElapsedTimer sincePump;
    sincePump.start();
    const auto built = store.ensureIndexes([&](int done, int) {
        progress.setValue(done);
        // The window keeps painting while an index is made.
        if (sincePump.elapsed() >= 30) {
            QCoreApplication::processEvents();
            sincePump.restart();
        }
        return true;
    });
    if (!built) {
        // Lists and searches read the table instead; slower, never wrong.
        store.setIndexProblem(built.error().detail);
        qWarning("The search indexes could not be made; lists read the table: %s",
                 qPrintable(built.error().detail));
    }
}

void Startup::showMainPage()
{
    m_mainPage = std::make_unique<MainWindow>(m_context);
    m_mainPage->show();
    m_lock = std::make_unique<AppLock>(m_context.settings,
                                       AppLock::loginWindow(m_context, m_login->userName()));
    m_login->close();
}

} // namespace zorbin::app
