#include "common/reportprogresswindow.h"

#include "common/report.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <chrono>

namespace zorbin::common {

ReportProgressWindow::ReportProgressWindow(const report::Report &report, report::Pages &pages,
                                           QPrinter &printer, QWidget *parent)
    : QDialog(parent), m_report(report), m_pages(pages), m_printer(printer)
{
    setObjectName(QStringLiteral("Print_Progress"));
    setWindowTitle(report.documentTitle());
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    makeControls();
    layOut();
    connectControls();
    showProgress();
}

ReportProgressWindow::~ReportProgressWindow()
{
    if (!m_finished)
        finish(false);
}

void ReportProgressWindow::makeControls()
{
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label_Page"));
    m_label->setMinimumWidth(320);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Progress"));
    m_bar->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("انصراف"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    m_next.setSingleShot(true);
    m_next.setInterval(0);
}

void ReportProgressWindow::layOut()
{
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_label);
    column->addWidget(m_bar);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    column->addLayout(buttons);
}

void ReportProgressWindow::connectControls()
{
    connect(&m_next, &QTimer::timeout, this, [this]() { step(); });
    connect(m_cancel, &QPushButton::clicked, this, [this]() { done(QDialog::Rejected); });
}

void ReportProgressWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started && !m_finished) {
        m_started = true;
        m_next.start();
    }
}

void ReportProgressWindow::showProgress()
{
    const int pages = m_pages.pageCount();
    if (!m_pages.counted()) {
        m_label->setText(QStringLiteral("شمارش صفحه ها: %1").arg(pages));
        m_bar->setRange(0, 0);
        return;
    }
    m_label->setText(QStringLiteral("نوشتن صفحه %1 از %2").arg(qMin(m_page + 1, pages)).arg(pages));
    m_bar->setRange(0, pages);
    m_bar->setValue(m_page);
}

void ReportProgressWindow::step()
{
    if (m_finished)
        return;
    using Clock = std::chrono::steady_clock;
    const auto slice = std::chrono::milliseconds(SliceMs);
    // The footers need the count: it is finished first, a slice at a time.
    if (!m_pages.counted()) {
        m_pages.count(slice);
        showProgress();
        m_next.start();
        return;
    }
    if (m_pages.failed()) {
        finish(false);
        return;
    }
    if (m_page == 0 && !m_items) {
        if (!m_painter.begin(&m_printer)) {
            finish(false);
            return;
        }
        m_items.emplace(m_painter, m_report.layoutDevice());
    }
    const Clock::time_point deadline = Clock::now() + slice;
    const QRectF target = report::area(&m_printer);
    bool refused = false;
    const bool read = m_pages.layOut(m_page, [&](int index, report::Page &&page) {
        if (index > 0 && !m_printer.newPage()) {
            refused = true;
            return false;
        }
        m_painter.save();
        report::fitPage(m_painter, m_report.orientation(), target);
        m_items->paintPage(m_report.layoutDevice(), page);
        m_painter.restore();
        m_page = index + 1;
        return Clock::now() < deadline;
    });
    if (!read || refused) {
        finish(false);
        return;
    }
    if (m_page >= m_pages.pageCount()) {
        finish(true);
        return;
    }
    showProgress();
    m_next.start();
}

void ReportProgressWindow::finish(bool written)
{
    m_next.stop();
    m_finished = true;
    if (m_painter.isActive()) {
        m_items.reset();
        if (!written && m_printer.outputFormat() == QPrinter::NativeFormat)
            m_printer.abort(); // nothing of it goes to the printer
        written = m_painter.end() && written;
    }
    m_written = written;
    if (isVisible())
        QDialog::done(written ? QDialog::Accepted : QDialog::Rejected);
}

void ReportProgressWindow::done(int result)
{
    if (!m_finished) {
        m_cancelled = true;
        finish(false);
    }
    QDialog::done(m_written ? QDialog::Accepted : result);
}

} // namespace zorbin::common
