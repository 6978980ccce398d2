#pragma once

#include "common/report.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QTimer>
#include <memory>

class QAction;
class QLabel;
class QSpinBox;
class QToolBar;

namespace zorbin::common {

class ReportPageView;

// The preview of a report, named after it: every page, one under the other, each laid
// out and painted when it comes into view and only a few of them kept, so a report of
// any length opens at once and takes the same memory. The pages are counted a slice at a
// time while the first ones show; the count, the page box and the footers follow. From
// here the user prints the report or saves it as a PDF file, both with a progress window
// that can stop them.
class ReportPreviewWindow : public QDialog
{
public:
    explicit ReportPreviewWindow(const report::Report &report, QWidget *parent = nullptr);
    ~ReportPreviewWindow() override;

    const report::Report &report() const { return m_report; }
    int pageCount() const { return m_pages->pageCount(); }
    bool counted() const { return m_pages->counted(); }
    // The page at the top of the view, from 0.
    int currentPage() const;
    void showPage(int index);
    // A page as the window lays it out.
    report::Page page(int index) { return m_pages->page(index); }
    // The page painted `width` pixels wide, from the few kept or painted now.
    QImage pageImage(int index, int width);
    qsizetype keptImages() const { return m_kept.size(); }
    // Pages kept painted at most.
    static constexpr int KeptPages = 6;

    // Writes every page to `path` under a temporary name, with the progress window, and
    // renames it into place; false (and no file) when stopped or when it failed, the
    // failure told to the user.
    bool savePdf(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void makeControls();
    void layOut();
    void connectControls();
    void countSome();
    void showCount();
    void showCurrent();
    void askAndSave();
    void print();
    // Writes every page with the progress window; true when all were written.
    bool write(QPrinter &printer, bool *cancelled);

    struct Kept
    {
        int index;
        int width;
        bool exact; // painted with the page count known
        QImage image;
    };

    const report::Report &m_report;
    std::unique_ptr<report::Pages> m_pages;
    QList<Kept> m_kept; // the last painted first
    QTimer m_counting;
    bool m_toldUnread = false; // the rows could not all be read, and the user was told

    QToolBar *m_tools = nullptr;
    QAction *m_first = nullptr;
    QAction *m_previous = nullptr;
    QAction *m_next = nullptr;
    QAction *m_last = nullptr;
    QAction *m_print = nullptr;
    QAction *m_save = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_countLabel = nullptr;
    ReportPageView *m_view = nullptr;
};

} // namespace zorbin::common
