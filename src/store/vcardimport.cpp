#include "store/vcardimport.h"

#include "core/vcardreader.h"
#include "store/contactrecords.h"
#include "store/filemodes.h"
#include "store/pictures.h"
#include "store/store.h"
#include "store/text.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>

namespace zorbin::store {

namespace {

using core::VCardReader;

ImportFailure readerFailure(const VCardReader &reader)
{
    using Kind = ImportFailure::Kind;
    const qint64 line = reader.problemLine();
    switch (reader.problem()) {
    case VCardReader::Problem::None:
    case VCardReader::Problem::CannotRead:
        break;
    case VCardReader::Problem::Binary:
        return {Kind::Binary, line};
    case VCardReader::Problem::NotUnicode:
        return {Kind::NotUnicode, line};
    case VCardReader::Problem::TooLong:
        return {Kind::TooLong, line};
    case VCardReader::Problem::NoCard:
        return {Kind::NoCard, line};
    case VCardReader::Problem::Unfinished:
        return {Kind::Unfinished, line};
    }
    return {Kind::CannotRead, line};
}

// The card's picture decoded, or nothing when it is no image. A JPEG small enough is kept
// as it came (`verbatim`), so a picture goes out and comes back byte for byte.
QImage decodedPicture(const QByteArray &bytes, bool *verbatim)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || qint64(size.width()) * size.height() <= 0 ||
        qint64(size.width()) * size.height() > kPictureMaxPixels)
        return {};
    *verbatim = reader.format() == "jpeg" && size.width() <= kPictureMaxSide &&
                size.height() <= kPictureMaxSide;
    if (size.width() > kPictureMaxSide || size.height() > kPictureMaxSide)
        reader.setScaledSize(size.scaled(kPictureMaxSide, kPictureMaxSide, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

VCardImport::VCardImport(Store &store, QString dataFolder, QString path)
    : m_store(store), m_dataFolder(std::move(dataFolder)), m_path(std::move(path))
{
}

ContactRecord VCardImport::contactOf(const core::VCard &card)
{
    ContactRecord contact;
    contact.name = trimBlanks(card.formattedName);
    if (contact.name.isEmpty() && !card.name.isEmpty()) {
        // N: family; given; additional; prefixes; suffixes
        const auto part = [&card](int at) {
            return at < card.name.size() ? card.name[at] : QString();
        };
        QStringList words;
        for (const QString &word : {part(3), part(1), part(2), part(0), part(4)})
            if (!trimBlanks(word).isEmpty())
                words.append(trimBlanks(word));
        contact.name = words.join(u' ');
    }
    QList<const core::VCard::Phone *> others;
    for (const core::VCard::Phone &phone : card.phones) {
        const QString number = trimBlanks(phone.number);
        if (number.isEmpty())
            continue;
        QString *slot = phone.types.contains(u"cell") || phone.types.contains(u"mobile")
                            ? &contact.mobile
                        : phone.types.contains(u"home") ? &contact.home
                        : phone.types.contains(u"work") ? &contact.office
                                                        : nullptr;
        if (slot && slot->isEmpty())
            *slot = number;
        else
            others.append(&phone);
    }
    for (const core::VCard::Phone *phone : others) {
        for (QString *slot : {&contact.mobile, &contact.home, &contact.office}) {
            if (slot->isEmpty()) {
                *slot = trimBlanks(phone->number);
                break;
            }
        }
    }
    contact.group = card.categories.isEmpty() ? QString() : trimBlanks(card.categories.first());
    contact.email = card.emails.isEmpty() ? QString() : trimBlanks(card.emails.first());
    contact.site = trimBlanks(card.url);
    contact.job = trimBlanks(!card.title.isEmpty()  ? card.title
                             : !card.role.isEmpty() ? card.role
                                                    : card.organisation);
    contact.address = trimBlanks(card.address);
    // Every string non-null: the store writes empty text, never NULL.
    for (QString *text :
         {&contact.name, &contact.group, &contact.mobile, &contact.home, &contact.office,
          &contact.email, &contact.site, &contact.job, &contact.address})
        if (text->isNull())
            *text = QStringLiteral("");
    contact.image = pictureFileName(contact.mobile);
    return contact;
}

ImportResult VCardImport::preview(const ImportProgress &progress)
{
    return pass(false, progress);
}

ImportResult VCardImport::run(const ImportProgress &progress)
{
    return pass(true, progress);
}

ImportResult VCardImport::pass(bool commit, const ImportProgress &progress)
{
    using Kind = ImportFailure::Kind;
    VCardReader reader(m_path);
    std::optional<QTemporaryDir> staging;
    if (commit) {
        staging.emplace(m_dataFolder + u'/' + QLatin1StringView(kPartialFileMark) +
                        QStringLiteral("import-XXXXXX"));
        if (!staging->isValid())
            return std::unexpected(
                ImportFailure{Kind::Pictures, 0, {StoreError::Kind::Io, staging->errorString()}});
    }
    auto import = m_store.beginImport();
    if (!import)
        return std::unexpected(ImportFailure{Kind::Store, 0, import.error()});

    ImportOutcome outcome;
    QStringList staged; // picture file names written to the staging folder
    core::VCard card;
    qint64 cards = 0;
    while (reader.next(card)) {
        if (progress && (++cards % 256) == 0 &&
            !progress(reader.text().position(), reader.text().size()))
            return std::unexpected(ImportFailure{Kind::Cancelled});
        const ContactRecord contact = contactOf(card);
        if (card.malformed) {
            outcome.refuse(card.line, Refusal::Malformed, shortened(contact.name));
            continue;
        }
        if (card.unreadableText) {
            outcome.refuse(card.line, Refusal::UnknownText);
            continue;
        }
        bool tooLong = false;
        for (const QString *text :
             {&contact.name, &contact.group, &contact.mobile, &contact.home, &contact.office,
              &contact.email, &contact.site, &contact.job, &contact.address})
            tooLong = tooLong || text->size() > kMaxImportedField;
        if (tooLong) {
            outcome.refuse(card.line, Refusal::FieldTooLong, shortened(contact.name));
            continue;
        }
        if (contact.name.isEmpty()) {
            outcome.refuse(card.line, Refusal::NoName);
            continue;
        }
        auto stored = m_store.contactMobileExists(contact.mobile);
        if (!stored.has_value())
            return std::unexpected(ImportFailure{Kind::Store, 0, stored.error()});
        if (*stored) {
            outcome.refuse(card.line, Refusal::MobileStored, contact.name);
            continue;
        }
        // Contacts without a mobile number share one picture file; a card's picture is not
        // laid over theirs.
        if (!card.photo.isEmpty() && !contact.mobile.isEmpty()) {
            bool verbatim = false;
            const QImage picture = decodedPicture(card.photo, &verbatim);
            if (picture.isNull()) {
                outcome.refuse(card.line, Refusal::NotPicture, contact.name);
                continue;
            }
            if (commit) {
                const QString name = pictureFileName(contact.mobile);
                Result<void> written;
                if (verbatim) {
                    written = makePrivateFolder(picturesFolder(staging->path()));
                    if (written)
                        written = writePrivateFile(picturePath(staging->path(), contact.mobile),
                                                   card.photo);
                } else if (auto saved = savePicture(staging->path(), contact.mobile, picture);
                           !saved) {
                    written = std::unexpected(saved.error());
                }
                if (!written)
                    return std::unexpected(ImportFailure{Kind::Pictures, 0, written.error()});
                staged.append(name);
            }
            ++outcome.pictures;
        }
        const QString values[] = {contact.name,    contact.group, contact.mobile, contact.home,
                                  contact.office,  contact.email, contact.site,   contact.job,
                                  contact.address, contact.image};
        if (auto added = import->append(Store::ImportTable::Contact, values); !added)
            return std::unexpected(ImportFailure{Kind::Store, 0, added.error()});
        ++outcome.added;
    }
    if (reader.problem() != VCardReader::Problem::None)
        return std::unexpected(readerFailure(reader));
    if (outcome.added == 0 && outcome.refused == 0)
        return std::unexpected(ImportFailure{Kind::Empty});
    const QByteArray digest = reader.text().digest();
    if (!commit) {
        m_previewDigest = digest;
        return outcome;
    }
    if (!m_previewDigest.isEmpty() && digest != m_previewDigest)
        return std::unexpected(ImportFailure{Kind::Changed});

    // The pictures go in place first; if one cannot, those moved are taken back and the
    // rows are rolled back with them.
    const QString from = picturesFolder(staging->path());
    const QString to = picturesFolder(m_dataFolder);
    if (!staged.isEmpty())
        if (auto made = makePrivateFolder(to); !made)
            return std::unexpected(ImportFailure{Kind::Pictures, 0, made.error()});
    QStringList moved;
    const auto takeBack = [&moved, &to] {
        for (const QString &name : moved)
            QFile::remove(to + u'/' + name);
    };
    for (const QString &name : staged) {
        if (auto renamed = renameOver(from + u'/' + name, to + u'/' + name); !renamed) {
            takeBack();
            return std::unexpected(ImportFailure{Kind::Pictures, 0, renamed.error()});
        }
        moved.append(name);
    }
    if (auto done = import->commit(); !done) {
        takeBack();
        return std::unexpected(ImportFailure{Kind::Store, 0, done.error()});
    }
    return outcome;
}

} // namespace zorbin::store
