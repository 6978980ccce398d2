#pragma once

#include "store/importoutcome.h"

#include <QVector>

namespace zorbin::store {

class Store;
struct ContactRecord;

// Writes contacts to one vCard 3.0 file in UTF-8 that phones and address books read: name,
// group (CATEGORIES), mobile, home and office numbers, e-mail, web site, job (TITLE),
// address and the contact's own picture embedded (the default picture is left out). The
// file is 0600, written under a temporary name and renamed into place, a card at a time.
class VCardExport
{
public:
    static Result<void> write(Store &store, const QString &dataFolder, const QVector<qint64> &ids,
                              const QString &path, const ImportProgress &progress = {});

    // One card, its lines folded at 75 bytes and ended by CR LF.
    static QByteArray card(const ContactRecord &contact, const QByteArray &picture,
                           const QByteArray &pictureType);
};

} // namespace zorbin::store
