#include "common/recordwindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "store/messages.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace zorbin::common {

RecordWindow::RecordWindow(Context &context, const QString &objectName, Mode mode, qint64 recordId,
                           QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode),
      m_recordId(mode == Mode::New ? 0 : recordId)
{
    setObjectName(objectName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(windowFont());
}

RecordWindow::~RecordWindow() = default;

void RecordWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void RecordWindow::updateBanner()
{
    if (QWidget *banner = findChild<QWidget *>(QStringLiteral("Banner")))
        banner->update();
}

QHBoxLayout *RecordWindow::makeButtonRow(const QString &saveText, const QString &cancelText)
{
    m_save = new QPushButton(saveText, this);
    m_save->setObjectName(QStringLiteral("Button_Save"));
    m_cancel = new QPushButton(cancelText, this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    for (QPushButton *b : {m_save, m_cancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
    }
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 4, 12, 0);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    return buttons;
}

QPushButton *RecordWindow::makeHelpButton(int number)
{
    auto *button = new QPushButton(QStringLiteral("؟"), this);
    button->setObjectName(QStringLiteral("Command%1").arg(number));
    button->setAutoDefault(false);
    button->setFixedSize(24, 24);
    connect(button, &QPushButton::clicked, this, [this, number] { showHelp(number); });
    return button;
}

void RecordWindow::reportReadFailure(const QString &what, const store::StoreError &error)
{
    const QString text = store::userMessage(what, error);
    QMetaObject::invokeMethod(
        this, [this, text] { Dialogs::error(this, text); }, Qt::QueuedConnection);
}

void RecordWindow::refuseSave(const QString &what, const store::StoreError &error)
{
    Dialogs::error(this, store::userMessage(what, error));
}

void RecordWindow::refuseDuplicate(const QString &warning, QLineEdit *keyBox)
{
    Dialogs::warn(this, warning);
    keyBox->setFocus();
    keyBox->selectAll();
}

} // namespace zorbin::common
