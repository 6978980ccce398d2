#pragma once

#include "common/context.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace zorbin::account {
class LoginWindow;
}
namespace zorbin::mainwin {
class MainWindow;
}

namespace zorbin::app {

class AppLock;

// The program's first steps once the database is connected. The login window shows at
// once; after its first paint the database is checked (unlocking it takes tens of
// milliseconds) and the account names follow. A database that fails its checks ends the
// program with its message; a good login hands over to the main window, and from then on
// the program locks itself when left alone (AppLock).
class Startup : public QObject
{
    Q_OBJECT
public:
    explicit Startup(zorbin::common::Context &context, QObject *parent = nullptr);
    ~Startup() override;

    // Shows the login window.
    void start();

    zorbin::account::LoginWindow *login() const { return m_login; }
    zorbin::mainwin::MainWindow *mainPage() const { return m_mainPage.get(); }
    // The lock, there from the good login on.
    AppLock *appLock() const { return m_lock.get(); }

Q_SIGNALS:
    // The program should end with this code (the database failed its checks).
    void finished(int code);

private:
    void checkDatabase();
    // Makes the search indexes the file lacks, with a progress window over the login.
    void buildMissingIndexes();
    void showMainPage();

    zorbin::common::Context &m_context;
    QPointer<zorbin::account::LoginWindow> m_login;
    std::unique_ptr<zorbin::mainwin::MainWindow> m_mainPage;
    std::unique_ptr<AppLock> m_lock;
};

} // namespace zorbin::app
