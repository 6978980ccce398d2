#pragma once

#include "store/result.h"

#include <QImage>
#include <QString>
#include <optional>

namespace zorbin::store {

class Store;

// What a contact's save does to the picture files once its row is stored. Contacts with
// the same mobile number share one file, so a file is written over or removed only where
// that leaves no other contact without its picture.
struct PictureSave
{
    qint64 id = 0;                // the stored contact
    bool isNew = false;           // a contact added by this save
    QString oldMobile;            // an edited contact's number as it was stored before
    QString mobile;               // the number stored now
    std::optional<QImage> chosen; // a picture the user chose in the window
};

// A chosen picture is written under the stored number. Otherwise the stored file is never
// written again: an edit that changes the number carries the contact's own picture over
// byte for byte (moved when no other contact has the old number, else copied), and a new
// contact gets a copy of the default picture unless another contact already has a picture
// under its number.
Result<void> savePictureFor(Store &store, const QString &dataFolder, const PictureSave &save);

// Removes the picture file of `mobile` when no contact other than `exceptId` has that
// number (after the contact was deleted, or moved to another number). No file is fine.
Result<void> releasePicture(Store &store, const QString &dataFolder, const QString &mobile,
                            qint64 exceptId);

} // namespace zorbin::store
