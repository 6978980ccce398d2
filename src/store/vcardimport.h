#pragma once

#include "store/importoutcome.h"

#include <QByteArray>
#include <QString>

namespace zorbin::core {
struct VCard;
}

namespace zorbin::store {

class Store;
struct ContactRecord;

// Adds the contacts of a vCard file (2.1, 3.0 or 4.0, as phones, GNOME Contacts and
// Thunderbird write them) in one transaction, with the pictures the cards carry. As the
// contact editor does, a card without a name or with a mobile number already stored is
// refused. A preview runs the same import and rolls it back. Pictures are written to a
// folder of their own first and moved beside the others only when every card went in, so
// a failed import leaves neither rows nor pictures.
class VCardImport
{
public:
    VCardImport(Store &store, QString dataFolder, QString path);

    ImportResult preview(const ImportProgress &progress = {});
    ImportResult run(const ImportProgress &progress = {});

    // The contact a card gives: its numbers as mobile, home and office by their types (a
    // number without one of these takes the first of them still free), its first e-mail
    // address, web address, title (or role, or organisation), first category as the group
    // and its postal address.
    static ContactRecord contactOf(const core::VCard &card);

private:
    ImportResult pass(bool commit, const ImportProgress &progress);

    Store &m_store;
    QString m_dataFolder;
    QString m_path;
    QByteArray m_previewDigest;
};

} // namespace zorbin::store
