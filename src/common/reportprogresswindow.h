#pragma once

#include "common/pagewriter.h"

#include <QDialog>
#include <QTimer>
#include <optional>

class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;

namespace zorbin::common {

namespace report {
class Pages;
class Report;
} // namespace report

// Writes a report's pages on a printer (a PDF file or a real printer) a slice at a time
// on the event loop, showing the page being written, with a button that stops it. The
// window, and the preview under it, keep painting while it works. Accepted once every
// page is written; rejected when stopped or when the printer refused.
class ReportProgressWindow : public QDialog
{
public:
    ReportProgressWindow(const report::Report &report, report::Pages &pages, QPrinter &printer,
                         QWidget *parent = nullptr);
    ~ReportProgressWindow() override;

    bool written() const { return m_finished && m_written; }
    bool cancelled() const { return m_cancelled; }
    // The longest a slice of work may hold the event loop.
    static constexpr int SliceMs = 40;
    // How often it looks again while the writer is behind.
    static constexpr int WaitMs = 5;

    // Stopping the window in any way stops the writing at once.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void makeControls();
    void layOut();
    void connectControls();
    void step();
    void finish(bool written);
    void showProgress();

    const report::Report &m_report;
    report::Pages &m_pages;
    QPrinter &m_printer;
    std::optional<report::PageWriter> m_writer;
    QTimer m_next;
    int m_page = 0; // the next page to lay out
    bool m_started = false;
    bool m_finished = false;
    bool m_written = false;
    bool m_cancelled = false;

    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace zorbin::common
