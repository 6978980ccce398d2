#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QStringDecoder>
#include <memory>

class QIODevice;

namespace zorbin::core {

// Reads a text file a line at a time as UTF-8, whatever Unicode form it was saved in:
// UTF-8 with or without its byte-order mark, UTF-16 with its mark. Anything else (a file
// saved in Windows-1256, a picture, a program) is refused rather than guessed at, so no
// garbled text ever reaches the database. Only one chunk and one line are held at a time.
class TextFileReader
{
public:
    enum class Problem {
        None,
        CannotRead, // no such file, no permission, or a read failed
        Binary,     // a NUL byte: not a text file
        NotUnicode, // bytes that are not UTF-8 (an ANSI code page such as Windows-1256)
        LineTooLong // a line longer than kMaxLineBytes
    };

    // The same problem in the words of a reader built on this one (its Problem has
    // CannotRead, Binary, NotUnicode and TooLong); None stays None.
    template <class ReaderProblem> static ReaderProblem as(Problem problem)
    {
        switch (problem) {
        case Problem::None:
            return ReaderProblem::None;
        case Problem::CannotRead:
            return ReaderProblem::CannotRead;
        case Problem::Binary:
            return ReaderProblem::Binary;
        case Problem::NotUnicode:
            return ReaderProblem::NotUnicode;
        case Problem::LineTooLong:
            return ReaderProblem::TooLong;
        }
        return ReaderProblem::CannotRead;
    }

    // The longest line taken; a longer one is a file no exporter writes.
    static constexpr qsizetype kMaxLineBytes = 4 * 1024 * 1024;

    explicit TextFileReader(const QString &path);
    // Reads `device` (open for reading); it must outlive the reader.
    explicit TextFileReader(QIODevice *device);
    ~TextFileReader();

    // Whether each UTF-8 line is checked on its own (the default). A format whose lines
    // may be cut inside a character (vCard's folding) checks its joined lines itself.
    void setLineCheck(bool on) { m_checkLines = on; }
    static bool isUtf8(QByteArrayView bytes);

    // The next line with its line break (the last line may have none). False at the end of
    // the file and on a problem.
    bool readLine(QByteArray &line);

    Problem problem() const { return m_problem; }
    // The number of the line readLine() gave last, from 1, and of the line a problem lies in.
    qint64 lineNumber() const { return m_lineNumber; }
    qint64 problemLine() const { return m_problemLine; }
    // Bytes of the file read so far and its whole size, for progress.
    qint64 position() const { return m_position; }
    qint64 size() const { return m_size; }
    // SHA-256 of every byte read so far: the same file read again gives the same digest.
    QByteArray digest() const;

private:
    enum class Form { Unknown, Utf8, Utf16LE, Utf16BE };
    bool fill();
    bool fail(Problem problem);
    bool checked(const QByteArray &line);

    std::unique_ptr<QFile> m_file;
    QIODevice *m_device = nullptr;
    Form m_form = Form::Unknown;
    QStringDecoder m_decoder;
    QByteArray m_buffer; // UTF-8 not yet handed out
    qsizetype m_start = 0;
    bool m_atEnd = false;
    bool m_checkLines = true;
    Problem m_problem = Problem::None;
    qint64 m_lineNumber = 0;
    qint64 m_problemLine = 0;
    qint64 m_position = 0;
    qint64 m_size = 0;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

} // namespace zorbin::core
