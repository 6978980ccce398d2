#include "common/recordwindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "store/selection.h"

#include <QLineEdit>
#include <QShowEvent>

namespace zorbin::ui {

RecordWindow::RecordWindow(Context &context, const QString &objectName, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(objectName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(windowFont());
}

RecordWindow::~RecordWindow()
{
    clearModeFlags();
}

void RecordWindow::done(int result)
{
    clearModeFlags();
    QDialog::done(result);
}

void RecordWindow::clearModeFlags()
{
    m_context.selection.editMode = false;
    m_context.selection.viewMode = false;
}

void RecordWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void RecordWindow::readMode()
{
    const auto &sel = m_context.selection;
    m_mode = sel.editMode ? Mode::Edit : sel.viewMode ? Mode::View : Mode::New;
}

void RecordWindow::updateBanner()
{
    if (QWidget *banner = findChild<QWidget *>(QStringLiteral("Banner")))
        banner->update();
}

void RecordWindow::refuseDuplicate(const QString &warning, QLineEdit *keyBox)
{
    Dialogs::warn(this, warning);
    keyBox->setFocus();
    keyBox->selectAll();
}

} // namespace zorbin::ui
