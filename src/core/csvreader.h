#pragma once

#include "core/textfilereader.h"

#include <QByteArray>
#include <QStringList>
#include <deque>
#include <memory>

struct csv_parser;

namespace zorbin::core {

// One record of a CSV file and the line it starts on.
struct CsvRecord
{
    qint64 line = 0;
    QStringList fields;
};

// Reads a CSV file (RFC 4180: comma-separated, fields in double quotes may hold commas,
// quotes and line breaks) one record at a time through libcsv, over TextFileReader.
// Fields keep their blanks. Blank lines are skipped.
class CsvReader
{
public:
    enum class Problem {
        None,
        CannotRead,
        Binary,
        NotUnicode,
        TooLong,  // a record longer than kMaxRecordBytes
        Malformed // a stray quote, or a quoted field never closed
    };
    static constexpr qsizetype kMaxRecordBytes = TextFileReader::kMaxLineBytes;

    explicit CsvReader(const QString &path);
    explicit CsvReader(QIODevice *device);
    ~CsvReader();
    CsvReader(const CsvReader &) = delete;
    CsvReader &operator=(const CsvReader &) = delete;

    // The next record; false at the end of the file and on a problem.
    bool next(CsvRecord &record);

    Problem problem() const { return m_problem; }
    // The line where the problem lies.
    qint64 problemLine() const { return m_problemLine; }
    const TextFileReader &text() const { return m_text; }

private:
    void start();
    bool fail(Problem problem, qint64 line);
    static void onField(void *data, size_t size, void *self);
    static void onRecordEnd(int terminator, void *self);

    TextFileReader m_text;
    std::unique_ptr<csv_parser> m_parser;
    QStringList m_fields;    // of the record being read
    qint64 m_recordLine = 0; // where it began
    qsizetype m_recordBytes = 0;
    std::deque<CsvRecord> m_ready;
    bool m_finished = false;
    Problem m_problem = Problem::None;
    qint64 m_problemLine = 0;
};

} // namespace zorbin::core
