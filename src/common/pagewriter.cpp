#include "common/pagewriter.h"

#include "common/pagepainter.h"

#include <QPainter>
#include <QPrinter>
#include <optional>

namespace zorbin::common::report {

PageWriter::PageWriter(QPrinter &printer, const QPaintDevice *layoutDevice)
    : m_printer(printer), m_shaper(layoutDevice), m_layoutDevice(layoutDevice),
      m_laidOut(area(layoutDevice)), m_target(area(&printer))
{
    m_thread = std::thread([this]() { run(); });
}

PageWriter::~PageWriter()
{
    stop();
}

void PageWriter::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

int PageWriter::waiting() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_queue.size());
}

bool PageWriter::refused() const
{
    const std::lock_guard lock(m_mutex);
    return m_refused;
}

void PageWriter::add(const Page &page)
{
    // Shaping takes about as long as painting and compressing: the writer shapes the
    // pages it is handed while it would otherwise wait for them, this thread the others.
    ShapedPage shaped = m_shaper.shape(page, waiting() >= ShapeHereFrom);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this]() { return m_queue.size() < Capacity || m_ended; });
    if (m_ended)
        return;
    // Only a writer with nothing to do waits to be told.
    const bool idle = m_queue.empty();
    m_queue.push_back(std::move(shaped));
    lock.unlock();
    if (idle)
        m_changed.notify_all();
}

void PageWriter::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
}

bool PageWriter::ended() const
{
    const std::lock_guard lock(m_mutex);
    return m_ended;
}

bool PageWriter::finish()
{
    close();
    if (m_thread.joinable())
        m_thread.join();
    const std::lock_guard lock(m_mutex);
    return m_whole;
}

void PageWriter::run()
{
    QPainter painter;
    std::optional<PagePainter> pages;
    bool refused = false;
    bool stopped = false;
    for (;;) {
        ShapedPage page;
        bool full = false;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this]() { return !m_queue.empty() || m_closing || m_stopping; });
            if (m_stopping) {
                stopped = true;
                break;
            }
            if (m_queue.empty())
                break; // closing, and every page is written
            full = m_queue.size() >= Capacity;
            page = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (full)
            m_changed.notify_all(); // a caller may wait for room
        if (!pages) {
            if (!painter.begin(&m_printer)) {
                refused = true;
                break;
            }
            pages.emplace(painter, m_layoutDevice);
        } else if (!m_printer.newPage()) {
            refused = true;
            break;
        }
        painter.save();
        fitArea(painter, m_laidOut, m_target);
        pages->paint(page);
        painter.restore();
        ++m_written;
    }
    // A document of no pages is still one the printer starts and ends.
    bool ended = false;
    if (pages && (stopped || refused) && m_printer.outputFormat() == QPrinter::NativeFormat)
        m_printer.abort(); // nothing of a stopped document goes to the printer
    if (pages)
        ended = painter.end();
    else if (!refused && !stopped)
        ended = painter.begin(&m_printer) && painter.end();
    {
        const std::lock_guard lock(m_mutex);
        m_refused = refused;
        m_ended = true;
        m_whole = ended && !refused && !stopped;
        m_queue.clear();
    }
    m_changed.notify_all();
}

} // namespace zorbin::common::report
