#include "common/reportpreviewwindow.h"

#include "common/dialogs.h"
#include "common/reportprogresswindow.h"
#include "store/filemodes.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <chrono>

namespace zorbin::common {

namespace report = zorbin::common::report;

// The pages one under the other, as wide as the view allows; only those in view are
// asked for.
class ReportPageView : public QAbstractScrollArea
{
public:
    explicit ReportPageView(ReportPreviewWindow &window)
        : QAbstractScrollArea(&window), m_window(window)
    {
        setObjectName(QStringLiteral("Pages"));
        setLayoutDirection(Qt::LeftToRight); // the scroll bar where the paper's edge is
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport()->setBackgroundRole(QPalette::Dark);
        viewport()->setAutoFillBackground(true);
        verticalScrollBar()->setSingleStep(40);
    }

    static constexpr int Gap = 16;

    int pageWidth() const { return qBound(200, viewport()->width() - 2 * Gap, 1100); }
    int pageHeight() const
    {
        const QRectF paper = report::paperRect(m_window.report().orientation());
        return int(pageWidth() * paper.height() / paper.width());
    }
    int stride() const { return pageHeight() + Gap; }
    int pageAt(int y) const { return qMax(0, (y + Gap / 2) / stride()); }
    void scrollToPage(int index) { verticalScrollBar()->setValue(index * stride()); }

    void updateRange()
    {
        // Down to the last page at the top of the view.
        verticalScrollBar()->setRange(0, qMax(0, (m_window.pageCount() - 1) * stride()));
        verticalScrollBar()->setPageStep(viewport()->height());
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(viewport());
        const int top = verticalScrollBar()->value();
        const int left = (viewport()->width() - pageWidth()) / 2;
        const int pages = m_window.pageCount();
        for (int p = pageAt(top); p < pages; ++p) {
            const int y = Gap + p * stride() - top;
            if (y > event->rect().bottom())
                break;
            const QRect box(left, y, pageWidth(), pageHeight());
            if (!box.intersects(event->rect()))
                continue;
            painter.drawImage(box.topLeft(), m_window.pageImage(p, box.width()));
        }
    }
    void resizeEvent(QResizeEvent *event) override
    {
        const int page = pageAt(verticalScrollBar()->value());
        QAbstractScrollArea::resizeEvent(event);
        updateRange();
        scrollToPage(page);
    }

private:
    ReportPreviewWindow &m_window;
};

ReportPreviewWindow::ReportPreviewWindow(const report::Report &report, QWidget *parent)
    : QDialog(parent), m_report(report), m_pages(report.pages())
{
    setObjectName(report.name());
    setWindowTitle(report.documentTitle());
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    makeControls();
    layOut();
    connectControls();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        resize(qMin(1000, room.width() * 9 / 10), qMin(780, room.height() * 9 / 10));
    }
    // The first slice now, so the first page is there when the window shows.
    countSome();
}

ReportPreviewWindow::~ReportPreviewWindow()
{
    // Hiding the window as it goes moves the focus, and the page box would then ask for
    // a page of the pages already freed: the controls no longer reach this window.
    m_counting.stop();
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
}

void ReportPreviewWindow::makeControls()
{
    m_tools = new QToolBar(this);
    m_tools->setObjectName(QStringLiteral("Tools"));
    const auto action = [this](const char *name, const QString &text) {
        QAction *made = m_tools->addAction(text);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    m_first = action("Page_First", QStringLiteral("اولين"));
    m_previous = action("Page_Previous", QStringLiteral("قبلي"));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("Page_Number"));
    m_pageBox->setRange(1, 1);
    m_pageBox->setMinimumWidth(90);
    m_tools->addWidget(m_pageBox);
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("Page_Count"));
    m_countLabel->setContentsMargins(6, 0, 6, 0);
    m_tools->addWidget(m_countLabel);
    m_next = action("Page_Next", QStringLiteral("بعدي"));
    m_last = action("Page_Last", QStringLiteral("آخرين"));
    m_tools->addSeparator();
    m_print = action("Print", QStringLiteral("چاپ"));
    m_save = action("Save_Pdf", QStringLiteral("ذخیره PDF"));
    m_save->setToolTip(QStringLiteral("ذخیره گزارش در یک فایل PDF"));
    m_view = new ReportPageView(*this);
    m_counting.setInterval(0);
}

void ReportPreviewWindow::layOut()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_tools);
    column->addWidget(m_view, 1);
}

void ReportPreviewWindow::connectControls()
{
    connect(&m_counting, &QTimer::timeout, this, [this]() { countSome(); });
    connect(m_first, &QAction::triggered, this, [this]() { showPage(0); });
    connect(m_previous, &QAction::triggered, this, [this]() { showPage(currentPage() - 1); });
    connect(m_next, &QAction::triggered, this, [this]() { showPage(currentPage() + 1); });
    connect(m_last, &QAction::triggered, this, [this]() { showPage(pageCount() - 1); });
    connect(m_pageBox, &QSpinBox::editingFinished, this,
            [this]() { showPage(m_pageBox->value() - 1); });
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this]() { showCurrent(); });
    connect(m_print, &QAction::triggered, this, [this]() { print(); });
    connect(m_save, &QAction::triggered, this, [this]() { askAndSave(); });
}

void ReportPreviewWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_pages->counted())
        m_counting.start();
}

void ReportPreviewWindow::countSome()
{
    const int before = m_pages->pageCount();
    const bool done = m_pages->count(std::chrono::milliseconds(ReportProgressWindow::SliceMs));
    if (done) {
        m_counting.stop();
        if (m_pages->failed() && !m_toldUnread) {
            // Told once the window is up: the pages read before the failure stay.
            m_toldUnread = true;
            QTimer::singleShot(0, this, [this]() {
                Dialogs::error(this, QStringLiteral("اطلاعات گزارش تا آخر خوانده نشد؛ "
                                                    "صفحه هاي نشان داده شده کامل نيستند."));
            });
        }
        // Pages painted before the count was known say only "page n": painted again.
        m_kept.removeIf([](const Kept &kept) { return !kept.exact; });
        m_view->viewport()->update();
    } else if (before == 0 && m_pages->pageCount() > 0) {
        m_view->viewport()->update();
    }
    if (done || m_pages->pageCount() != before)
        showCount();
}

void ReportPreviewWindow::showCount()
{
    const int pages = m_pages->pageCount();
    m_countLabel->setText(m_pages->counted() ? QStringLiteral("از %1").arg(pages)
                                             : QStringLiteral("از %1 …").arg(pages));
    m_pageBox->setRange(1, qMax(1, pages));
    m_view->updateRange();
    showCurrent();
}

int ReportPreviewWindow::currentPage() const
{
    return qMin(m_view->pageAt(m_view->verticalScrollBar()->value()), qMax(0, pageCount() - 1));
}

void ReportPreviewWindow::showPage(int index)
{
    index = qBound(0, index, qMax(0, pageCount() - 1));
    m_view->scrollToPage(index);
    showCurrent();
}

void ReportPreviewWindow::showCurrent()
{
    const int page = currentPage();
    const QSignalBlocker quiet(m_pageBox);
    m_pageBox->setValue(page + 1);
    m_first->setEnabled(page > 0);
    m_previous->setEnabled(page > 0);
    m_next->setEnabled(page + 1 < pageCount());
    m_last->setEnabled(page + 1 < pageCount());
}

QImage ReportPreviewWindow::pageImage(int index, int width)
{
    for (qsizetype k = 0; k < m_kept.size(); ++k) {
        if (m_kept[k].index == index && m_kept[k].width == width) {
            m_kept.move(k, 0);
            return m_kept.first().image;
        }
    }
    const QRectF paper = report::paperRect(m_report.orientation());
    const QRectF printable = report::printableRect(m_report.orientation());
    const qreal scale = width / paper.width();
    QImage image(width, int(paper.height() * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        report::fitPage(painter, m_report.orientation(),
                        QRectF(printable.topLeft() * scale, printable.size() * scale));
        m_report.paintPage(painter, m_pages->page(index));
    }
    m_kept.prepend({index, width, m_pages->counted(), image});
    while (m_kept.size() > KeptPages)
        m_kept.removeLast();
    return image;
}

void ReportPreviewWindow::askAndSave()
{
    const QString path =
        Dialogs::saveFileName(this, QStringLiteral("ذخیره گزارش"),
                              QDir::home().filePath(m_report.name() + QStringLiteral(".pdf")),
                              QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty())
        savePdf(path);
}

bool ReportPreviewWindow::write(QPrinter &printer, bool *cancelled)
{
    ReportProgressWindow progress(m_report, *m_pages, printer, this);
    Dialogs::exec(progress);
    if (m_pages->counted())
        showCount();
    *cancelled = progress.cancelled();
    return progress.written();
}

bool ReportPreviewWindow::savePdf(const QString &path)
{
    const QString failed =
        QStringLiteral("فایل PDF ذخیره نشد:\r\n") + QDir::toNativeSeparators(path);
    const auto temp = store::createPrivateTemp(path);
    if (!temp) {
        Dialogs::error(this, failed);
        return false;
    }
    bool cancelled = false;
    bool written = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*temp);
        report::preparePrinter(printer, m_report.orientation(), m_report.documentTitle());
        written = write(printer, &cancelled);
    }
    written =
        written && store::syncFile(*temp).has_value() && store::renameOver(*temp, path).has_value();
    if (!written) {
        QFile::remove(*temp);
        if (!cancelled)
            Dialogs::error(this, failed);
    }
    return written;
}

void ReportPreviewWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    report::preparePrinter(printer, m_report.orientation(), m_report.documentTitle());
    if (!Dialogs::choosePrinter(printer, this))
        return;
    bool cancelled = false;
    if (!write(printer, &cancelled) && !cancelled)
        Dialogs::error(this, QStringLiteral("گزارش چاپ نشد."));
}

} // namespace zorbin::common
