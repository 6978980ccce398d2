#pragma once

#include "common/context.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;

namespace zorbin::tools {

// Asks the maker's update server whether a newer version than the installed one has been
// published, and offers the news page about it.
class UpdateCheckWindow : public QDialog
{
    Q_OBJECT
public:
    explicit UpdateCheckWindow(zorbin::common::Context &context, QWidget *parent = nullptr);
    // A fetch still under way is stopped: its wait ends at once and no answer is looked at.
    ~UpdateCheckWindow() override;

    // How the window learns whether the computer is on line (the system's answer unless
    // replaced).
    void setOnLineTest(std::function<bool()> test) { m_onLine = std::move(test); }
    // Whether a fetch is under way.
    bool checking() const { return m_checking; }

public Q_SLOTS:
    void check();
    void openNewsPage();

Q_SIGNALS:
    // A check has ended (at once when off line, else when the fetch came back).
    void checked();

private:
    void makeControls();
    void layOut();
    void connectControls();
    // Looks at the body in Text1, the last the server gave: "0" and "1" are verdicts,
    // anything else leaves the message as it was.
    void showVerdict();
    void fetched(const QString &body);

    zorbin::common::Context &m_context;
    std::function<bool()> m_onLine;
    bool m_checking = false;
    QPointer<QThread> m_fetch;

    QGroupBox *m_frame = nullptr; // AeroGroupBox1
    QLabel *m_picture = nullptr;  // Image1
    // The three captions and the two fixed values beside the first two.
    QLabel *m_versionLabel = nullptr;    // Label2
    QLabel *m_version = nullptr;         // Label6
    QLabel *m_lastUpdateLabel = nullptr; // Label4
    QLabel *m_lastUpdate = nullptr;      // Label8
    QLabel *m_statusLabel = nullptr;     // Label5
    QLabel *m_status = nullptr;          // Label1
    QLabel *m_message = nullptr;         // lblMessage
    QLineEdit *m_body = nullptr; // Text1: the update file's body from the last check on line
    QPushButton *m_check = nullptr;
    QPushButton *m_download = nullptr;
};

} // namespace zorbin::tools
