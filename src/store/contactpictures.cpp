#include "store/contactpictures.h"

#include "store/filemodes.h"
#include "store/pictures.h"
#include "store/store.h"

#include <QFile>
#include <QFileInfo>

namespace zorbin::store {

namespace {

Result<QByteArray> readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(StoreError::Kind::Io, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(StoreError::Kind::Io, file.errorString());
    return bytes;
}

// The default picture as it is stored: the data folder's none.jpg, else the program's copy.
Result<QByteArray> defaultPictureBytes(const QString &dataFolder)
{
    if (auto own = readBytes(defaultPicturePath(dataFolder)); own && !own->isEmpty())
        return own;
    return readBytes(QStringLiteral(":/none.jpg"));
}

Result<void> copyInto(const QString &dataFolder, const QByteArray &bytes, const QString &mobile)
{
    if (auto made = makePrivateFolder(picturesFolder(dataFolder)); !made)
        return made;
    return writePrivateFile(picturePath(dataFolder, mobile), bytes);
}

Result<void> carryOver(Store &store, const QString &dataFolder, const PictureSave &save)
{
    const QString from = picturePath(dataFolder, save.oldMobile);
    if (!QFileInfo(from).isFile())
        return {};
    const auto others = store.contactsWithMobile(save.oldMobile, save.id);
    if (!others)
        return std::unexpected(others.error());
    if (*others == 0) {
        if (auto made = makePrivateFolder(picturesFolder(dataFolder)); !made)
            return made;
        return renameOver(from, picturePath(dataFolder, save.mobile));
    }
    const auto bytes = readBytes(from);
    if (!bytes)
        return std::unexpected(bytes.error());
    return copyInto(dataFolder, *bytes, save.mobile);
}

} // namespace

Result<void> savePictureFor(Store &store, const QString &dataFolder, const PictureSave &save)
{
    if (save.chosen) {
        if (auto written = savePicture(dataFolder, save.mobile, *save.chosen); !written)
            return std::unexpected(written.error());
        if (!save.isNew && pictureFileName(save.oldMobile) != pictureFileName(save.mobile))
            return releasePicture(store, dataFolder, save.oldMobile, save.id);
        return {};
    }
    if (!save.isNew) {
        if (pictureFileName(save.oldMobile) == pictureFileName(save.mobile))
            return {};
        return carryOver(store, dataFolder, save);
    }
    // A new contact: a file already under its number is another contact's picture, unless
    // nobody else has the number (a file left behind by an older version).
    if (QFileInfo(picturePath(dataFolder, save.mobile)).isFile()) {
        const auto others = store.contactsWithMobile(save.mobile, save.id);
        if (!others)
            return std::unexpected(others.error());
        if (*others > 0)
            return {};
    }
    const auto bytes = defaultPictureBytes(dataFolder);
    if (!bytes)
        return std::unexpected(bytes.error());
    return copyInto(dataFolder, *bytes, save.mobile);
}

Result<void> releasePicture(Store &store, const QString &dataFolder, const QString &mobile,
                            qint64 exceptId)
{
    const QString path = picturePath(dataFolder, mobile);
    if (!QFileInfo::exists(path))
        return {};
    const auto others = store.contactsWithMobile(mobile, exceptId);
    if (!others)
        return std::unexpected(others.error());
    if (*others > 0)
        return {};
    QFile file(path);
    if (!file.remove())
        return failure(StoreError::Kind::Io, file.errorString());
    return {};
}

} // namespace zorbin::store
