#pragma once

#include "common/reportpainter.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVector>
#include <chrono>
#include <functional>
#include <memory>

class QPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace zorbin::common {
class ReportPreviewWindow;
}

namespace zorbin::common::report {

// A report's pages on the layout device, laid out when they are asked for. A counting
// pass finds where each page starts, a slice at a time, so that a window can show the
// first pages while the rest are counted and lay out any page later without the ones
// before it.
class Pages
{
public:
    virtual ~Pages() = default;
    // Counts on for about `budget` (to the end when it is zero); true once every page is
    // counted, or the count failed.
    virtual bool count(std::chrono::milliseconds budget) = 0;
    virtual bool counted() const = 0;
    // The pages counted so far; all of them once counted().
    virtual int pageCount() const = 0;
    // True when the report's rows could not be read.
    virtual bool failed() const { return false; }
    // Lays out the counted pages from `first` on, footers included, handing each with its
    // index to `done` until it answers false or they end; false when the rows could not
    // be read. While the count goes on a footer says only "page n".
    virtual bool layOut(int first, const std::function<bool(int, Page &&)> &done) = 0;
    // One page (an empty one when it could not be laid out).
    Page page(int index);
};

// Pages laid out all at once, for a report that is short by its nature.
class HeldPages : public Pages
{
public:
    explicit HeldPages(std::function<QVector<Page>()> layout) : m_layout(std::move(layout)) {}
    bool count(std::chrono::milliseconds budget) override;
    bool counted() const override { return m_counted; }
    int pageCount() const override { return int(m_pages.size()); }
    bool layOut(int first, const std::function<bool(int, Page &&)> &done) override;

private:
    std::function<QVector<Page>()> m_layout;
    QVector<Page> m_pages;
    bool m_counted = false;
};

// A printed report: a subclass lays its pages out; this class paints them, previews them,
// saves them as PDF and lists their texts. Every page is laid out on layoutDevice() and
// painted on any device scaled from there.
class Report
{
public:
    // `name` is the objectName of its preview window.
    Report(QString name, QString title, QPageLayout::Orientation orientation);
    virtual ~Report() = default;

    QString name() const { return m_name; }
    QString documentTitle() const { return m_title; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    // The device its pages are laid out on: A4 in its orientation.
    QPrinter *layoutDevice() const { return report::layoutDevice(m_orientation); }

    // All the pages as they are laid out on `device`.
    virtual QVector<Page> layout(const QPaintDevice *device) const = 0;
    // How many records it prints.
    virtual int records() const = 0;
    // Its pages on the layout device, counted and laid out as they are asked for. The
    // report outlives them.
    virtual std::unique_ptr<Pages> pages() const;

    // Paints one page laid out on the layout device, the painter set up with fitPage().
    void paintPage(QPainter &painter, const Page &page) const;
    // Paints all pages on `printer`, each fitted to its printable area; false when the
    // printer cannot be opened or the rows could not be read.
    bool render(QPrinter *printer) const;
    // A4 in the report's orientation; false when the file could not be written.
    bool savePdf(const QString &path) const;
    int pageCount(QPrinter *printer) const;
    QStringList pageTexts(QPrinter *printer) const;

    // The modal preview (through common::Dialogs), from which the user prints the report
    // or saves it as a PDF file.
    void exec(QWidget *parent) const;
    // That preview window, not yet shown.
    std::unique_ptr<ReportPreviewWindow> makePreview(QWidget *parent) const;

    // The foot of each page: "page n of m", or "page n" while `pages` is not known (0).
    static QString pageFooter(int page, int pages);

    // The foot of page `page` of `pages` on `device`, centred across the printable area.
    static Item footer(const QPaintDevice *device, int page, int pages);

protected:
    // Puts "page n of m" at the foot of every page.
    static void addPageFooters(QVector<Page> &pages, const QPaintDevice *device);

private:
    QString m_name;
    QString m_title;
    QPageLayout::Orientation m_orientation;
};

} // namespace zorbin::common::report
