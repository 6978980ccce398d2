#include "store/pictures.h"

#include "store/filemodes.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace zorbin::store {

namespace {

// Longest file name kept readable; longer ones are hashed (file systems allow 255 bytes).
constexpr int kMaxNameBytes = 200;

bool plainChar(char32_t c)
{
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               QByteArrayView(" +-()#*_,.").contains(char(c));
    return QChar::isLetterOrNumber(c);
}

void escape(char32_t c, QString &out)
{
    const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
    for (const char b : utf8)
        out += QStringLiteral("%%1").arg(uint(uchar(b)), 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString picturesFolder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("images"));
}

QString pictureFileName(const QString &mobile)
{
    const auto chars = mobile.toUcs4();
    QString base;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        bool plain = plainChar(c);
        // A dot may separate digits, but never start or end the name or stand beside
        // another dot.
        if (c == '.' &&
            (i == 0 || i + 1 == chars.size() || chars[i - 1] == '.' || chars[i + 1] == '.'))
            plain = false;
        if (plain)
            base += QString::fromUcs4(&c, 1);
        else
            escape(c, base);
    }
    if (base.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        base = QStringLiteral("%") + QString::number(uint(base.at(0).unicode()), 16).toUpper() +
               base.mid(1);
    if (base.isEmpty() || base.toUtf8().size() > kMaxNameBytes)
        base = QStringLiteral("%%") +
               QString::fromLatin1(
                   QCryptographicHash::hash(mobile.toUtf8(), QCryptographicHash::Sha256).toHex());
    return base + QStringLiteral(".jpg");
}

QString picturePath(const QString &dataFolder, const QString &mobile)
{
    return QDir(picturesFolder(dataFolder)).filePath(pictureFileName(mobile));
}

QString defaultPicturePath(const QString &dataFolder)
{
    return QDir(picturesFolder(dataFolder)).filePath(QStringLiteral("none.jpg"));
}

Result<QImage> loadPicture(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return failure(StoreError::Kind::Io,
                       QStringLiteral("no picture file at ") + QDir::toNativeSeparators(path));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return failure(StoreError::Kind::Io, QDir::toNativeSeparators(path) +
                                                 QStringLiteral(" is not a picture: ") +
                                                 reader.errorString());
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kPictureMaxSide || size.height() > kPictureMaxSide)) {
        reader.setScaledSize(size.scaled(kPictureMaxSide, kPictureMaxSide, Qt::KeepAspectRatio));
        // Readers that cannot decode scaled hold the whole picture for a moment; a camera's
        // photo, even 16 bits a channel, is let past the usual guard against huge images.
        if (qint64(size.width()) * size.height() <= kPictureMaxPixels)
            reader.setAllocationLimit(int(kPictureMaxPixels * 8 / (1024 * 1024)) + 1);
    }
    QImage image = reader.read();
    if (image.isNull())
        return failure(StoreError::Kind::Io, QStringLiteral("cannot read the picture ") +
                                                 QDir::toNativeSeparators(path) +
                                                 QStringLiteral(": ") + reader.errorString());
    if (image.width() > kPictureMaxSide || image.height() > kPictureMaxSide)
        image = image.scaled(kPictureMaxSide, kPictureMaxSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    return image;
}

Result<QString> savePicture(const QString &dataFolder, const QString &mobile, const QImage &image)
{
    if (image.isNull())
        return failure(StoreError::Kind::Io, QStringLiteral("no picture to save"));
    if (auto made = makePrivateFolder(picturesFolder(dataFolder)); !made)
        return std::unexpected(made.error());

    QImage picture = image;
    if (picture.width() > kPictureMaxSide || picture.height() > kPictureMaxSide)
        picture = picture.scaled(kPictureMaxSide, kPictureMaxSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    if (picture.hasAlphaChannel()) {
        QImage opaque(picture.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, picture);
        painter.end();
        picture = opaque;
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(picture))
        return failure(StoreError::Kind::Io,
                       QStringLiteral("cannot encode the picture: ") + writer.errorString());
    buffer.close();

    const QString path = picturePath(dataFolder, mobile);
    if (auto written = writePrivateFile(path, jpeg); !written)
        return std::unexpected(written.error());
    return path;
}

} // namespace zorbin::store
