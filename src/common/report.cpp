#include "common/report.h"

#include "common/dialogs.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <utility>

namespace zorbin::common::report {

Report::Report(QString name, QString title, QPageLayout::Orientation orientation)
    : m_name(std::move(name)), m_title(std::move(title)), m_orientation(orientation)
{
}

QString Report::pageFooter(int page, int pages)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QStringLiteral("صفحه"), QString::number(page), QStringLiteral("از"),
             QString::number(pages));
}

void Report::addPageFooters(QVector<Page> &pages, const QPaintDevice *device)
{
    const QRectF area = report::area(device);
    const QFont footerFont = report::font(8);
    const qreal footerHeight = report::lineHeight(footerFont, device);
    const int count = int(pages.size());
    for (int p = 0; p < count; ++p)
        pages[p].items.append(
            {Role::Footer,
             QRectF(area.left(), area.bottom() - footerHeight, area.width(), footerHeight),
             pageFooter(p + 1, count), footerFont, QColor(70, 70, 70), Qt::RightToLeft,
             Qt::AlignHCenter});
}

bool Report::render(QPrinter *printer) const
{
    return paint(printer, layout(printer));
}

bool Report::renderPreview(QPrinter *printer, int maxPages, int *total) const
{
    const QVector<Page> pages = layout(printer);
    *total = int(pages.size());
    return paint(printer, maxPages > 0 ? pages.mid(0, maxPages) : pages);
}

QString Report::previewCutNote(int shown, int total)
{
    return QStringLiteral("پیش‌نمایش %1 صفحهٔ نخست از %2 صفحه است؛ چاپ و "
                          "ذخیرهٔ "
                          "PDF "
                          "همهٔ "
                          "صفحه‌ها را دارند.")
        .arg(shown)
        .arg(total);
}

bool Report::savePdf(const QString &path) const
{
    return report::savePdf(path, m_orientation, m_title,
                           [this](QPrinter *printer) { return render(printer); });
}

int Report::pageCount(QPrinter *printer) const
{
    return int(layout(printer).size());
}

QStringList Report::pageTexts(QPrinter *printer) const
{
    return report::pageTexts(layout(printer));
}

void Report::exec(QWidget *parent) const
{
    common::Dialogs::preview(*this, parent);
}

namespace {

// The wait cursor while a long report is laid out and drawn, which can take seconds.
struct BusyCursor
{
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

std::unique_ptr<QPrintPreviewDialog> Report::makePreview(QWidget *parent) const
{
    auto dialog = std::make_unique<QPrintPreviewDialog>(parent);
    QPrintPreviewDialog *window = dialog.get();
    preparePrinter(*window->printer(), m_orientation, m_title);
    window->setObjectName(m_name);
    window->setWindowTitle(m_title);
    // The preview keeps each page it is shown as drawn, a few megabytes a page: a long
    // report shows its first pages there, and prints and saves whole.
    // Its own line under the tool bar, which may not have room for it.
    auto *cutNote = new QLabel(window);
    cutNote->setObjectName(QStringLiteral("Preview_Cut"));
    cutNote->setContentsMargins(8, 2, 8, 2);
    cutNote->hide();
    if (auto *column = qobject_cast<QBoxLayout *>(window->layout()))
        column->insertWidget(1, cutNote);
    QObject::connect(window, &QPrintPreviewDialog::paintRequested, window,
                     [this, cutNote](QPrinter *target) {
                         const BusyCursor busy;
                         const QPaintEngine *engine = target->paintEngine();
                         if (!engine || engine->type() != QPaintEngine::Picture) {
                             render(target); // printing from the preview: everything
                             return;
                         }
                         int total = 0;
                         renderPreview(target, PreviewPages, &total);
                         cutNote->setText(previewCutNote(PreviewPages, total));
                         cutNote->setVisible(total > PreviewPages);
                     });

    if (auto *toolBar = window->findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *save = toolBar->addAction(QStringLiteral("ذخیره PDF"));
        save->setObjectName(QStringLiteral("Save_Pdf"));
        save->setToolTip(QStringLiteral("ذخیره گزارش در یک فایل PDF"));
        QObject::connect(save, &QAction::triggered, window, [this, window]() {
            const QString path = common::Dialogs::saveFileName(
                window, QStringLiteral("ذخیره گزارش"),
                QDir::home().filePath(m_name + QStringLiteral(".pdf")),
                QStringLiteral("PDF (*.pdf)"));
            if (path.isEmpty())
                return;
            const BusyCursor busy;
            // In the orientation the preview shows now.
            const auto orientation = window->printer()->pageLayout().orientation();
            if (!report::savePdf(path, orientation, m_title,
                                 [this](QPrinter *printer) { return render(printer); }))
                common::Dialogs::error(window, QStringLiteral("فایل PDF ذخیره نشد:\r\n") +
                                                   QDir::toNativeSeparators(path));
        });
    }

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        window->resize(qMin(1000, room.width() * 9 / 10), qMin(780, room.height() * 9 / 10));
    }
    return dialog;
}

} // namespace zorbin::common::report
