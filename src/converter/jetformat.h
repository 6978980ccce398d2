#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zorbin::converter {

// What the first page of an Access (Jet) file tells before any table is read.
struct JetHeader
{
    int version = 0;           // 0 Jet 3, 1 Jet 4, 2 and up the later ACE formats
    bool ace = false;          // "Standard ACE DB" rather than "Standard Jet DB"
    bool encodedPages = false; // pages after the first are RC4-encoded
    QString password;          // the database password, empty when none is set
};

// Decodes the header from the first bytes of a file (at least 0x98 of them); nothing
// when they are not the start of an Access file.
std::optional<JetHeader> readJetHeader(const QByteArray &head);

// Text as Jet 4 stores it: UTF-16 little-endian, or, after the marker FF FE, runs of
// one-byte characters and of UTF-16 characters, each change of run marked by a zero
// byte. Surrogate pairs are kept, so characters outside the Basic Multilingual Plane
// arrive whole.
QString decodeJetText(const unsigned char *data, qsizetype size);

} // namespace zorbin::converter
