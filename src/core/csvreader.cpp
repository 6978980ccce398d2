#include "core/csvreader.h"

#include <csv.h>

namespace zorbin::core {

namespace {
// Blanks around a field are part of it: a password may begin with a space.
int noSpace(unsigned char)
{
    return 0;
}
} // namespace

CsvReader::CsvReader(const QString &path) : m_text(path)
{
    start();
}

CsvReader::CsvReader(QIODevice *device) : m_text(device)
{
    start();
}

void CsvReader::start()
{
    m_parser = std::make_unique<csv_parser>();
    csv_init(m_parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_APPEND_NULL);
    csv_set_space_func(m_parser.get(), noSpace);
}

CsvReader::~CsvReader()
{
    csv_free(m_parser.get());
}

void CsvReader::onField(void *data, size_t size, void *self)
{
    auto *reader = static_cast<CsvReader *>(self);
    reader->m_fields.append(QString::fromUtf8(static_cast<const char *>(data), qsizetype(size)));
}

void CsvReader::onRecordEnd(int, void *self)
{
    auto *reader = static_cast<CsvReader *>(self);
    reader->m_ready.push_back({reader->m_recordLine, std::move(reader->m_fields)});
    reader->m_fields = {};
    reader->m_recordBytes = 0;
}

bool CsvReader::fail(Problem problem, qint64 line)
{
    m_problem = problem;
    m_problemLine = line;
    m_ready.clear();
    return false;
}

bool CsvReader::next(CsvRecord &record)
{
    while (m_ready.empty()) {
        if (m_finished || m_problem != Problem::None)
            return false;
        QByteArray line;
        if (!m_text.readLine(line)) {
            if (const auto problem = TextFileReader::as<Problem>(m_text.problem());
                problem != Problem::None)
                return fail(problem, m_text.problemLine());
            m_finished = true;
            // A quoted field still open at the end of the file.
            if (csv_fini(m_parser.get(), onField, onRecordEnd, this) != 0)
                return fail(Problem::Malformed, m_recordLine);
            continue;
        }
        // A line read while no record is under way begins the next one.
        if (m_parser->pstate == 0 && m_fields.isEmpty())
            m_recordLine = m_text.lineNumber();
        m_recordBytes += line.size();
        if (m_recordBytes > kMaxRecordBytes)
            return fail(Problem::TooLong, m_recordLine);
        if (csv_parse(m_parser.get(), line.constData(), size_t(line.size()), onField, onRecordEnd,
                      this) != size_t(line.size()))
            return fail(Problem::Malformed, m_text.lineNumber());
    }
    record = std::move(m_ready.front());
    m_ready.pop_front();
    return true;
}

} // namespace zorbin::core
