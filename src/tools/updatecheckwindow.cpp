#include "tools/updatecheckwindow.h"

#include "common/appearance.h"
#include "common/desktop.h"
#include "common/icons.h"
#include "core/updatecheck.h"
#include "net/online.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <limits>
#include <memory>

namespace zorbin::tools {

namespace {

const QString kCaption = QStringLiteral("به روز رساني");
const QString kVersionLabel = QStringLiteral(":نسخه فعلي");
const QString kLastUpdateLabel = QStringLiteral(":آخرين به روز رساني");
const QString kLastUpdate = QStringLiteral("خرداد ماه 1393");
const QString kStatusLabel = QStringLiteral(":وضعيت");
const QString kStatusStart = QStringLiteral("Status: ...");
const QString kMessageStart = QStringLiteral("...");
const QString kCheck = QStringLiteral("چك كردن براي نسخه جديد");
const QString kDownload = QStringLiteral("دريافت نسخه جديد");
const QString kConnected = QStringLiteral("» Connected");
const QString kNotConnected = QStringLiteral("» Not connected");
const QString kOffLine = QStringLiteral("شما به اينترنت متصل نيستيد");
const QString kUpToDate = QStringLiteral("شما در حال استفاده از آخرين نسخه (2.0) مي باشيد");
const QString kNewVersion = QStringLiteral("نسخه جديد زوربين منتشر شده است");
const QString kAnswerLabel = QStringLiteral(":پاسخ سرور");

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

void setColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

UpdateCheckWindow::UpdateCheckWindow(zorbin::common::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_onLine(&zorbin::net::isOnLine)
{
    setObjectName(QStringLiteral("Update"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont());

    makeControls();
    layOut();
    connectControls();
    m_check->setFocus();
}

void UpdateCheckWindow::makeControls()
{
    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("AeroGroupBox1"));

    m_picture = new QLabel(m_frame);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setPixmap(zorbin::common::icon(u"arrow-repeat").pixmap(48, 48));
    m_picture->setAlignment(Qt::AlignTop);

    m_versionLabel = label(m_frame, "Label2", kVersionLabel);
    m_version = label(m_frame, "Label6", QString::fromLatin1(zorbin::core::kInstalledVersion));
    m_lastUpdateLabel = label(m_frame, "Label4", kLastUpdateLabel);
    m_lastUpdate = label(m_frame, "Label8", kLastUpdate);
    m_statusLabel = label(m_frame, "Label5", kStatusLabel);
    m_status = label(m_frame, "Label1", kStatusStart);
    m_message = label(m_frame, "lblMessage", kMessageStart);
    for (QLabel *l : {m_versionLabel, m_lastUpdateLabel, m_statusLabel})
        zorbin::common::keepVisualOrder(l);
    // The connection state is English and reads left to right ("» Connected"), flush with
    // the other values.
    zorbin::common::keepVisualOrder(m_status);
    m_message->setWordWrap(true);
    m_message->setMinimumHeight(m_message->fontMetrics().height() * 2);
    m_message->setAccessibleName(kStatusLabel);
    m_version->setAccessibleName(kVersionLabel);
    m_lastUpdate->setAccessibleName(kLastUpdateLabel);
    m_status->setAccessibleName(kStatusLabel);
    // The server's answer as it came, for whoever wants to see what the verdict read.
    m_body = new QLineEdit(m_frame);
    m_body->setObjectName(QStringLiteral("Text1"));
    m_body->setReadOnly(true);
    m_body->setLayoutDirection(Qt::LeftToRight);
    m_body->setMaxLength(std::numeric_limits<int>::max());
    m_body->setAccessibleName(kAnswerLabel);
    m_body->setFocusPolicy(Qt::ClickFocus);

    m_check = new QPushButton(kCheck, this);
    m_check->setObjectName(QStringLiteral("Button_Update"));
    m_download = new QPushButton(kDownload, this);
    m_download->setObjectName(QStringLiteral("Button_Download"));
    m_download->hide();
    for (QPushButton *b : {m_check, m_download}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(160);
    }
}

void UpdateCheckWindow::layOut()
{
    auto *grid = new QGridLayout;
    grid->addWidget(m_versionLabel, 0, 0);
    grid->addWidget(m_version, 0, 1);
    grid->addWidget(m_lastUpdateLabel, 1, 0);
    grid->addWidget(m_lastUpdate, 1, 1);
    grid->addWidget(m_statusLabel, 2, 0);
    grid->addWidget(m_status, 2, 1);
    grid->addWidget(m_message, 3, 0, 1, 3);
    grid->addWidget(m_body, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    auto *inner = new QHBoxLayout(m_frame);
    inner->addWidget(m_picture);
    inner->addLayout(grid, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_check);
    buttons->addWidget(m_download);
    buttons->addStretch(1);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_frame);
    outer->addLayout(buttons);
    setMinimumWidth(420);
}

void UpdateCheckWindow::connectControls()
{
    connect(m_check, &QPushButton::clicked, this, &UpdateCheckWindow::check);
    connect(m_download, &QPushButton::clicked, this, &UpdateCheckWindow::openNewsPage);
}

UpdateCheckWindow::~UpdateCheckWindow()
{
    // Quitting the fetch's thread ends the wait of its event loop, so this is quick; the
    // program never ends with a fetch still using the network.
    if (m_fetch) {
        m_fetch->quit();
        m_fetch->wait();
    }
}

void UpdateCheckWindow::check()
{
    if (m_checking)
        return;
    if (!m_onLine()) {
        m_status->setText(kNotConnected);
        m_message->setText(kOffLine);
        // The body of an earlier check in this showing still counts.
        showVerdict();
        Q_EMIT checked();
        return;
    }
    m_status->setText(kConnected);

    // The fetch waits up to its time limit; it runs on a thread of its own so the window
    // keeps drawing and can be closed meanwhile. The thread deletes itself when it ends.
    m_checking = true;
    m_check->setEnabled(false);
    const QString server = zorbin::core::updateServer(m_context.settings);
    auto body = std::make_shared<QString>();
    m_fetch = QThread::create([server, body] { *body = zorbin::core::fetchUpdateBody(server); });
    connect(m_fetch, &QThread::finished, m_fetch, &QObject::deleteLater);
    connect(m_fetch, &QThread::finished, this, [this, body] { fetched(*body); });
    m_fetch->start();
}

void UpdateCheckWindow::fetched(const QString &body)
{
    m_checking = false;
    m_check->setEnabled(true);
    m_body->setText(body);
    showVerdict();
    Q_EMIT checked();
}

void UpdateCheckWindow::showVerdict()
{
    const std::optional<zorbin::core::UpdateVerdict> verdict =
        zorbin::core::updateVerdict(m_body->text());
    if (verdict == zorbin::core::UpdateVerdict::UpToDate) {
        setColour(m_message, QColor(0, 128, 0));
        m_message->setText(kUpToDate);
    } else if (verdict == zorbin::core::UpdateVerdict::NewVersion) {
        setColour(m_message, QColor(192, 0, 192));
        m_message->setText(kNewVersion);
        m_check->hide();
        m_download->show();
    }
    (m_download->isHidden() ? m_check : m_download)->setFocus();
}

void UpdateCheckWindow::openNewsPage()
{
    // The browser decides how its window opens; failures of the desktop are not reported.
    zorbin::common::desktop::openUrl(
        QUrl(zorbin::core::newsPageUrl(zorbin::core::updateServer(m_context.settings))));
}

} // namespace zorbin::tools
