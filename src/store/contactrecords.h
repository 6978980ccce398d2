#pragma once

#include "store/records.h"

#include <QString>

namespace zorbin::store {

// One row of Table_Contact, its fields in column order (ID first). A field read as NULL is
// a null QString; an empty text is an empty but not null QString.
struct ContactRecord
{
    qint64 id = 0; // assigned by the database on insert
    QString name;
    QString group;
    QString mobile;
    QString home;
    QString office;
    QString email;
    QString site;
    QString job;
    QString address;
    QString image; // the picture's file name; pictures are always found by mobile number
};

// The columns the phone book and its report show: ID, Name, Group, Mobile, Home, Job,
// Email.
struct ContactListRow
{
    qint64 id = 0;
    QString name;
    QString group;
    QString mobile;
    QString home;
    QString job;
    QString email;
};

// Where a phone book search looks.
enum class ContactSearchColumn { Name, Mobile };

// The phone book's search on `column` for `prefix`, not read yet.
SearchSlices contactSearch(ContactSearchColumn column, const QString &prefix);

// The three counts the statistics window shows.
struct RecordCounts
{
    qint64 sites = 0;
    qint64 categories = 0;
    qint64 contacts = 0;
};

// What a restore did: the copy of the replaced database kept beside it.
struct RestoreDone
{
    QString safetyCopy;
};

} // namespace zorbin::store
