#pragma once

#include <QString>

namespace zorbin::net {

// Downloads a small text resource over http or https and returns its whole body.
//
// The request goes straight to the server (no proxy), never uses or fills a cache and
// identifies itself with the user agent "vb wininet". Redirects are followed, except from
// https to http.
//
// The body is decoded one byte per character (Latin-1), so every byte survives: a body of
// N bytes gives a text of N characters and QString::toLatin1() gives the bytes back.
//
// Returns an empty text on any failure: an invalid or non-http(s) URL, no network, a
// refused connection, an HTTP status of 400 or above (even when an error page came with
// it), or no complete answer within timeoutMs milliseconds. A timeoutMs of zero or less
// fails at once. Never shows anything.
//
// A maxBytes above zero caps the body: one longer than that, by the length the server
// announces or by what arrives, stops the download at once and counts as a failure, so at
// most about maxBytes of it is ever held.
//
// Blocks the caller for at most about timeoutMs while a local event loop runs; user input
// events are held back meanwhile. Needs a QCoreApplication. Keeps no state between calls
// (each call has its own network access manager), so any thread with an event dispatcher
// may call it.
QString fetchUrlText(const QString &url, int timeoutMs = 10000, qint64 maxBytes = 0);

} // namespace zorbin::net
