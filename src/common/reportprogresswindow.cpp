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
    const int written = m_writer ? m_writer->written() : 0;
    m_label->setText(
        QStringLiteral("نوشتن صفحه %1 از %2").arg(qMin(written + 1, pages)).arg(pages));
    m_bar->setRange(0, pages);
    m_bar->setValue(written);
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
    if (!m_writer)
        m_writer.emplace(m_printer, m_report.layoutDevice());
    if (m_page >= m_pages.pageCount()) {
        // Every page handed over: the window waits, free, for the writer to end.
        m_writer->close();
        showProgress();
        if (m_writer->ended())
            finish(m_writer->finish());
        else
            m_next.start(WaitMs);
        return;
    }
    if (m_writer->refused()) {
        finish(false);
        return;
    }
    // The writer paints on a thread of its own while pages are laid out here; when it is
    // behind, this waits (with the window free) until half its pages are written, so that
    // each slice lays out many pages from where the last one stopped.
    if (m_writer->waiting() > report::PageWriter::Capacity / 2) {
        showProgress();
        m_next.start(WaitMs);
        return;
    }
    const Clock::time_point deadline = Clock::now() + slice;
    const bool read = m_pages.layOut(m_page, [&](int index, report::Page &&page) {
        m_writer->add(page);
        m_page = index + 1;
        return Clock::now() < deadline && m_writer->waiting() < report::PageWriter::Capacity;
    });
    if (!read) {
        finish(false);
        return;
    }
    showProgress();
    m_next.start(0);
}

void ReportProgressWindow::finish(bool written)
{
    m_next.stop();
    m_finished = true;
    // Gone, the writer stops at the page it is painting and ends the document.
    m_writer.reset();
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
