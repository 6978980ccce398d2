#pragma once

#include "store/result.h"

#include <QHash>
#include <QList>
#include <QVector>
#include <algorithm>
#include <functional>

namespace zorbin::store {

// The rows of a long list of record IDs that a grid has asked for: read a block of
// neighbouring rows at a time and kept for a few blocks, the least recently used going
// first. A row the store did not give back (its record gone meanwhile, or the read failed)
// keeps only its ID.
template <typename Row> class RowBlocks
{
public:
    static constexpr int BlockSize = 64;
    static constexpr int MaxBlocks = 24;
    // Reads the rows of the records `ids` names, by one statement.
    using Reader = std::function<Result<QVector<Row>>(const QVector<qint64> &ids)>;

    explicit RowBlocks(Reader read) : m_read(std::move(read)) {}

    // Row `index` of the list `ids`, reading its block when it is not kept.
    const Row &row(const QVector<qint64> &ids, int index) const
    {
        return block(ids, index / BlockSize).at(index % BlockSize);
    }
    // Row `index` when its block is kept, else nothing; nothing is read.
    const Row *kept(int index) const
    {
        const auto it = m_blocks.constFind(index / BlockSize);
        return it == m_blocks.constEnd() || index % BlockSize >= it->size()
                   ? nullptr
                   : &it->at(index % BlockSize);
    }
    // The rows `first`..`end`-1 of `ids`, read now and not kept.
    QVector<Row> read(const QVector<qint64> &ids, int first, int end) const
    {
        const QVector<qint64> wanted = ids.mid(first, end - first);
        QVector<Row> found = m_read(wanted).value_or(QVector<Row>());
        const auto byId = [](const Row &a, const Row &b) { return a.id < b.id; };
        if (!std::is_sorted(found.begin(), found.end(), byId))
            std::sort(found.begin(), found.end(), byId);
        QVector<Row> rows;
        rows.reserve(wanted.size());
        for (const qint64 id : wanted) {
            const auto it = std::lower_bound(found.begin(), found.end(), id,
                                             [](const Row &r, qint64 v) { return r.id < v; });
            if (it != found.end() && it->id == id) {
                rows.append(*it);
            } else {
                Row gone;
                gone.id = id;
                rows.append(gone);
            }
        }
        return rows;
    }
    void clear()
    {
        m_blocks.clear();
        m_order.clear();
    }

private:
    const QVector<Row> &block(const QVector<qint64> &ids, int index) const
    {
        const int first = index * BlockSize;
        const int end = std::min<int>(first + BlockSize, int(ids.size()));
        auto it = m_blocks.find(index);
        if (it != m_blocks.end() && it->size() < end - first) {
            // Rows were appended to the list after this, its last block, was read.
            m_blocks.erase(it);
            m_order.removeOne(index);
            it = m_blocks.end();
        }
        if (it != m_blocks.end()) {
            if (m_order.last() != index) {
                m_order.removeOne(index);
                m_order.append(index);
            }
            return *it;
        }
        if (m_blocks.size() >= MaxBlocks)
            m_blocks.remove(m_order.takeFirst());
        m_order.append(index);
        return *m_blocks.insert(index, read(ids, first, end));
    }

    Reader m_read;
    mutable QHash<int, QVector<Row>> m_blocks;
    mutable QList<int> m_order; // least recently used first
};

} // namespace zorbin::store
