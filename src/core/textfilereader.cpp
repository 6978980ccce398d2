#include "core/textfilereader.h"

namespace zorbin::core {

namespace {
constexpr qint64 kChunk = 256 * 1024;

} // namespace

TextFileReader::TextFileReader(const QString &path) : m_file(std::make_unique<QFile>(path))
{
    if (m_file->open(QIODevice::ReadOnly)) {
        m_device = m_file.get();
        m_size = m_file->size();
    } else {
        m_problem = Problem::CannotRead;
    }
}

TextFileReader::TextFileReader(QIODevice *device) : m_device(device)
{
    m_size = device->size();
}

TextFileReader::~TextFileReader() = default;

QByteArray TextFileReader::digest() const
{
    return m_hash.resultView().toByteArray();
}

bool TextFileReader::fail(Problem problem)
{
    m_problem = problem;
    m_problemLine = m_lineNumber + 1;
    m_buffer.clear();
    m_start = 0;
    return false;
}

// Reads the next chunk into m_buffer as UTF-8; false at the end or on a problem.
bool TextFileReader::fill()
{
    if (m_atEnd || m_problem != Problem::None)
        return false;
    QByteArray raw(kChunk, Qt::Uninitialized);
    const qint64 got = m_device->read(raw.data(), kChunk);
    if (got < 0)
        return fail(Problem::CannotRead);
    raw.truncate(got);
    m_hash.addData(raw);
    m_position += got;
    if (got == 0) {
        m_atEnd = true;
        // A UTF-16 text cut off in the middle of a character.
        if ((m_form == Form::Utf16LE || m_form == Form::Utf16BE) && (m_position % 2) != 0)
            return fail(Problem::Binary);
        return false;
    }
    qsizetype skip = 0;
    if (m_form == Form::Unknown) {
        // The byte-order mark decides; without one the file must be UTF-8.
        if (raw.startsWith("\xEF\xBB\xBF")) {
            m_form = Form::Utf8;
            skip = 3;
        } else if (raw.startsWith("\xFF\xFE")) {
            m_form = Form::Utf16LE;
            skip = 2;
        } else if (raw.startsWith("\xFE\xFF")) {
            m_form = Form::Utf16BE;
            skip = 2;
        } else {
            m_form = Form::Utf8;
        }
        // The decoder keeps its state, so a sequence split between two chunks is whole.
        m_decoder = QStringDecoder(m_form == Form::Utf16LE   ? QStringConverter::Utf16LE
                                   : m_form == Form::Utf16BE ? QStringConverter::Utf16BE
                                                             : QStringConverter::Utf8,
                                   QStringConverter::Flag::Default);
    }
    const QByteArrayView bytes = QByteArrayView(raw).sliced(skip);
    if (m_form == Form::Utf8) {
        // A NUL anywhere in the file's first chunk marks a binary file (a picture, a
        // program) before its first bad line would be taken for another code page.
        if (m_position == got) {
            if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
                m_problem = Problem::Binary;
                m_problemLine = bytes.first(nul).count('\n') + 1;
                m_buffer.clear();
                return false;
            }
        }
        m_buffer.append(bytes); // checked a line at a time, see checked()
    } else {
        const QString text = m_decoder.decode(bytes);
        if (m_decoder.hasError())
            return fail(Problem::Binary);
        if (text.contains(QChar(0)))
            return fail(Problem::Binary);
        m_buffer.append(text.toUtf8());
    }
    return true;
}

// A UTF-8 line read as it is: refused when it holds a NUL or bytes that are not UTF-8. A
// line ends with a whole character, so each is checked on its own.
bool TextFileReader::checked(const QByteArray &line)
{
    if (m_form == Form::Utf8) {
        if (line.contains('\0'))
            return fail(Problem::Binary);
        if (m_checkLines && !isUtf8(line))
            return fail(Problem::NotUnicode);
    }
    ++m_lineNumber;
    return true;
}

bool TextFileReader::isUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString scratch(utf8.requiredSpace(bytes.size()), Qt::Uninitialized);
    (void)utf8.appendToBuffer(scratch.data(), bytes);
    return !utf8.hasError();
}

bool TextFileReader::readLine(QByteArray &line)
{
    if (m_problem != Problem::None)
        return false;
    for (;;) {
        const qsizetype nl = m_buffer.indexOf('\n', m_start);
        if (nl >= 0) {
            if (nl + 1 - m_start > kMaxLineBytes)
                return fail(Problem::LineTooLong);
            line = m_buffer.mid(m_start, nl + 1 - m_start);
            m_start = nl + 1;
            return checked(line);
        }
        if (m_buffer.size() - m_start > kMaxLineBytes)
            return fail(Problem::LineTooLong);
        // Drop what was handed out before reading more, so the buffer stays small.
        m_buffer.remove(0, m_start);
        m_start = 0;
        if (!fill()) {
            if (m_problem != Problem::None || m_buffer.isEmpty())
                return false;
            line = m_buffer;
            m_buffer.clear();
            return checked(line);
        }
    }
}

} // namespace zorbin::core
