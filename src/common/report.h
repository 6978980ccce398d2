#pragma once

#include "common/reportpainter.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class QPaintDevice;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace zorbin::common::report {

// A printed report: a subclass lays its pages out; this class paints them, previews them,
// saves them as PDF and lists their texts.
class Report
{
public:
    // `name` is the objectName of its preview window.
    Report(QString name, QString title, QPageLayout::Orientation orientation);
    virtual ~Report() = default;

    QString name() const { return m_name; }
    QString documentTitle() const { return m_title; }
    QPageLayout::Orientation orientation() const { return m_orientation; }

    // The pages as they are painted on `device`.
    virtual QVector<Page> layout(const QPaintDevice *device) const = 0;
    // How many records it prints.
    virtual int records() const = 0;

    // Paints all pages; false when the printer cannot be opened. A long report may paint
    // each page as it lays it out instead of holding them all.
    virtual bool render(QPrinter *printer) const;
    // What the preview window shows: at most `maxPages` pages, since it keeps every page
    // it is given as drawn; `total` gets how many pages the whole report has. Printing
    // and saving from the preview give the whole report.
    virtual bool renderPreview(QPrinter *printer, int maxPages, int *total) const;
    // Pages the preview window shows at most.
    static constexpr int PreviewPages = 30;
    // The preview's note when it shows only the first pages of a longer report.
    static QString previewCutNote(int shown, int total);
    // A4 in the report's orientation; false when the file could not be written.
    bool savePdf(const QString &path) const;
    int pageCount(QPrinter *printer) const;
    QStringList pageTexts(QPrinter *printer) const;

    // The modal print preview (through common::Dialogs), from which the user prints the report
    // or saves it as a PDF file.
    void exec(QWidget *parent) const;
    // That preview window, not yet shown.
    std::unique_ptr<QPrintPreviewDialog> makePreview(QWidget *parent) const;

    // The foot of each page: "page n of m".
    static QString pageFooter(int page, int pages);

protected:
    // Puts "page n of m" at the foot of every page, centred across the printable area.
    static void addPageFooters(QVector<Page> &pages, const QPaintDevice *device);

private:
    QString m_name;
    QString m_title;
    QPageLayout::Orientation m_orientation;
};

} // namespace zorbin::common::report
