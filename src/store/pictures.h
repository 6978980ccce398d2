#pragma once

#include "store/result.h"

#include <QImage>
#include <QString>

namespace zorbin::store {

// Contact pictures: one JPEG per contact in the folder images/ of the data folder, named
// after the contact's mobile number.

// The longest side a picture keeps when it is loaded; larger pictures are scaled down
// while they are decoded, so a 50-megapixel photo loads quickly and small.
inline constexpr int kPictureMaxSide = 1024;

// The largest picture, in pixels, that is read whatever its format.
inline constexpr qint64 kPictureMaxPixels = 120'000'000;

// The folder of the pictures in `dataFolder`.
QString picturesFolder(const QString &dataFolder);

// The file name (no folder) of the picture for `mobile` as stored (trimmed). An ordinary
// number keeps exactly "<mobile>.jpg", so existing pictures are found. Characters that
// could leave the folder or that a file name should not hold ("/", "\", NUL, control and
// format characters, a leading "." or "..", ...) are written as %XX of their UTF-8 bytes,
// and an empty or very long number becomes "%%" and its SHA-256; neither form can be
// spelled by an ordinary number, so no two numbers share a file. "none" is escaped too,
// so no contact overwrites the default picture.
QString pictureFileName(const QString &mobile);

// The full path of the picture for `mobile`; always directly inside picturesFolder().
QString picturePath(const QString &dataFolder, const QString &mobile);

// images/none.jpg, shown when a contact has no picture of its own.
QString defaultPicturePath(const QString &dataFolder);

// Reads the picture file at `path` (format from its content, not its name), scaled down
// to kPictureMaxSide and turned upright by its orientation tag. A missing file, a file
// that is not a picture, or one too damaged to decode is an Io failure whose detail says
// so (in English, with the reader's words).
Result<QImage> loadPicture(const QString &path);

// Writes `image` as a real JPEG to picturePath(dataFolder, mobile): images/ is made (0700)
// when missing, the file is written 0600 under a temporary name and renamed into place,
// replacing an older picture. Returns the path written. Pictures larger than
// kPictureMaxSide are scaled down; transparent parts become white.
Result<QString> savePicture(const QString &dataFolder, const QString &mobile, const QImage &image);

} // namespace zorbin::store
