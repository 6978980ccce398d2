#include "app/startup.h"

#include "account/login.h"
#include "common/dialogs.h"
#include "mainwin/main_page.h"
#include "store/messages.h"
#include "store/store.h"

#include <QEvent>
#include <QTimer>
#include <functional>
#include <utility>

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

Startup::Startup(zorbin::ui::Context &context, QObject *parent)
    : QObject(parent), m_context(context)
{
}

Startup::~Startup()
{
    delete m_login;
}

void Startup::start()
{
    m_login = new Login(m_context, nullptr, true);
    m_login->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_login, &Login::loggedIn, this, &Startup::showMainPage);
    m_login->installEventFilter(new AfterFirstPaint(m_login, [this] { checkDatabase(); }));
    m_login->show();
}

void Startup::checkDatabase()
{
    zorbin::store::OpenResult result;
    if (!m_context.store.verify(&result)) {
        zorbin::ui::Dialogs::error(m_login, zorbin::store::openErrorMessage(result));
        Q_EMIT finished(1);
        return;
    }
    m_login->loadNames();
}

void Startup::showMainPage()
{
    m_mainPage = std::make_unique<Main_Page>(m_context);
    m_mainPage->show();
    m_login->close();
}
