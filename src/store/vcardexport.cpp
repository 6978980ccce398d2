#include "store/vcardexport.h"

#include "store/contactrecords.h"
#include "store/filemodes.h"
#include "store/pictures.h"
#include "store/store.h"

#include <QFile>
#include <QImageReader>
#include <utility>

namespace zorbin::store {

namespace {

// A text value with \ , ; and line breaks escaped.
QByteArray escaped(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\\' || c == ',' || c == ';') {
            out.append('\\');
            out.append(c);
        } else if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            continue; // CR LF becomes one \n
        } else if (c == '\n' || c == '\r') {
            out.append("\\n");
        } else {
            out.append(c);
        }
    }
    return out;
}

// Folds a content line at 75 bytes, never inside a UTF-8 character.
void appendFolded(QByteArray &out, const QByteArray &line)
{
    qsizetype from = 0;
    qsizetype room = 75;
    while (line.size() - from > room) {
        qsizetype cut = from + room;
        while (cut > from && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.constData() + from, cut - from);
        out.append("\r\n ");
        from = cut;
        room = 74;
    }
    out.append(line.constData() + from, line.size() - from);
    out.append("\r\n");
}

Result<void> ioFailure(const QString &detail)
{
    return failure(StoreError::Kind::Io, detail);
}

} // namespace

QByteArray VCardExport::card(const ContactRecord &c, const QByteArray &picture,
                             const QByteArray &pictureType)
{
    QByteArray out = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    appendFolded(out, "FN:" + escaped(c.name));
    appendFolded(out, "N:" + escaped(c.name) + ";;;;");
    const auto add = [&out](const char *head, const QString &value, const char *tail = "") {
        if (!value.isEmpty())
            appendFolded(out, head + escaped(value) + tail);
    };
    add("CATEGORIES:", c.group);
    add("TEL;TYPE=CELL:", c.mobile);
    add("TEL;TYPE=HOME:", c.home);
    add("TEL;TYPE=WORK:", c.office);
    add("EMAIL;TYPE=INTERNET:", c.email);
    add("URL:", c.site);
    add("TITLE:", c.job);
    add("ADR;TYPE=HOME:;;", c.address, ";;;;");
    if (!picture.isEmpty())
        appendFolded(out, "PHOTO;ENCODING=b;TYPE=" + pictureType + ':' + picture.toBase64());
    out.append("END:VCARD\r\n");
    return out;
}

Result<void> VCardExport::write(Store &store, const QString &dataFolder, const QVector<qint64> &ids,
                                const QString &path, const ImportProgress &progress)
{
    // Nothing is left behind when the writing stops short: the file is renamed into place
    // only once it is whole.
    PrivateFileWriter file(path);
    if (auto opened = file.open(); !opened)
        return opened;
    QByteArray defaultPicture;
    if (QFile none(defaultPicturePath(dataFolder)); none.open(QIODevice::ReadOnly))
        defaultPicture = none.readAll();
    QByteArray chunk;
    qint64 done = 0;
    for (const qint64 id : ids) {
        auto contact = store.contact(id);
        if (!contact) {
            if (contact.error().kind == StoreError::Kind::NotFound)
                continue;
            return std::unexpected(contact.error());
        }
        QByteArray picture;
        QByteArray type;
        const QString picturePath = store::picturePath(dataFolder, contact->mobile);
        if (QFile own(picturePath); own.open(QIODevice::ReadOnly)) {
            picture = own.readAll();
            type = QImageReader::imageFormat(picturePath).toUpper();
            if (type == "JPG")
                type = "JPEG";
            // A copy of the default picture is no picture of the contact's own.
            if (picture == defaultPicture || type.isEmpty())
                picture.clear();
        }
        chunk.append(card(*contact, picture, type));
        if (auto written = file.append(std::exchange(chunk, QByteArray())); !written)
            return written;
        if (progress && (++done % 256) == 0 && !progress(done, ids.size()))
            return ioFailure(QStringLiteral("stopped"));
    }
    if (auto written = file.append(chunk); !written)
        return written;
    return file.commit();
}

} // namespace zorbin::store
