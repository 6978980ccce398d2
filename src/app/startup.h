#pragma once

#include "common/context.h"

#include <QObject>
#include <QPointer>
#include <memory>

class Login;
class Main_Page;

// The program's first steps once the database is connected. The login window shows at
// once; after its first paint the database is checked (unlocking it takes tens of
// milliseconds) and the account names follow. A database that fails its checks ends the
// program with its message; a good login hands over to the main window.
class Startup : public QObject
{
    Q_OBJECT
public:
    explicit Startup(zorbin::ui::Context &context, QObject *parent = nullptr);
    ~Startup() override;

    // Shows the login window.
    void start();

    Login *login() const { return m_login; }
    Main_Page *mainPage() const { return m_mainPage.get(); }

Q_SIGNALS:
    // The program should end with this code (the database failed its checks).
    void finished(int code);

private:
    void checkDatabase();
    // Makes the search indexes the file lacks, with a progress window over the login.
    void buildMissingIndexes();
    void showMainPage();

    zorbin::ui::Context &m_context;
    QPointer<Login> m_login;
    std::unique_ptr<Main_Page> m_mainPage;
};
