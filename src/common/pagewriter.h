#pragma once

#include "common/pageshaper.h"

#include <QRectF>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class QPrinter;

namespace zorbin::common::report {

// Writes laid-out pages on a printer (a PDF file or a real printer) from a thread of its
// own. The writer paints them and the printer compresses them while the thread that lays
// them out goes on; the texts are shaped by whichever of the two has the time, so a long
// report keeps both cores busy, and the window that lays the pages out stays free.
// Qt paints on printers from any thread; the printer is left to the writer until it is
// finished or gone.
class PageWriter
{
public:
    // Pages waiting at most: a few seconds of writing, a few megabytes.
    static constexpr int Capacity = 48;
    // With this many pages waiting the writer is busy: the caller shapes the next page.
    static constexpr int ShapeHereFrom = 2;

    PageWriter(QPrinter &printer, const QPaintDevice *layoutDevice);
    // Stops at the page being written: what was handed over and not written is dropped.
    ~PageWriter();
    PageWriter(const PageWriter &) = delete;
    PageWriter &operator=(const PageWriter &) = delete;

    // Pages handed over and not written yet.
    int waiting() const;
    // Hands the next page over; waits while Capacity pages are waiting.
    void add(const Page &page);
    // No more pages come: the writer ends the document once it has written the last one.
    void close();
    // The document is ended (whole, refused or stopped).
    bool ended() const;
    // Closes, and waits until every page handed over is written and the document ended.
    // True when all of it was written.
    bool finish();
    // Pages written so far.
    int written() const { return m_written.load(); }
    // The printer would not start or take another page: nothing more is written.
    bool refused() const;

private:
    void run();
    void stop();

    QPrinter &m_printer;
    PageShaper m_shaper;
    const QPaintDevice *m_layoutDevice;
    QRectF m_laidOut; // the layout device's printable area
    QRectF m_target;  // the printer's
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ShapedPage> m_queue;
    bool m_closing = false;  // no more pages come
    bool m_stopping = false; // stop at once
    bool m_refused = false;
    bool m_ended = false;
    bool m_whole = false;
    std::atomic<int> m_written{0};
    std::thread m_thread;
};

} // namespace zorbin::common::report
