#pragma once

#include <QString>
#include <optional>

namespace zorbin::store {
class Settings;
}

namespace zorbin::core {

// The update check: one small text file on the maker's server says whether a newer
// version than the installed one has been published.

// The installed version, as shown and as built into the update file's name.
inline constexpr char kInstalledVersion[] = "2.0";

// How long a check may wait for the server.
inline constexpr int kUpdateTimeoutMs = 10000;

// The most of an answer a check reads: the verdict is one character, so anything longer is
// no verdict, and a huge answer is not downloaded.
inline constexpr qint64 kUpdateBodyLimit = 4096;

// The maker's update server (plain HTTP).
QString defaultUpdateServer();

// Where the settings keep another base address (mirrors, tests): application "Zorbin",
// section "Update", key "Server".
QString updateServerApplication();
QString updateServerSection();
QString updateServerKey();

// The base address from the settings, or the maker's server when none is set.
QString updateServer(const store::Settings &settings);

// "<server>/products/update/Zorbin_v2.0.txt" and "<server>/index.php?newsid=9"; a slash at
// the end of `server` is not doubled.
QString updateFileUrl(const QString &server);
QString newsPageUrl(const QString &server);

enum class UpdateVerdict {
    UpToDate,  // the body is exactly "0"
    NewVersion // the body is exactly "1"
};

// The verdict of a body compared exactly as a whole: "0\n", "1 ", an error page or an
// empty body give none.
std::optional<UpdateVerdict> updateVerdict(const QString &body);

// Fetches the update file from `server`; the body unchanged, or an empty text when the
// server cannot be reached, answers with an error within `timeoutMs`, or the body is
// longer than kUpdateBodyLimit (the download then stops there).
QString fetchUpdateBody(const QString &server, int timeoutMs = kUpdateTimeoutMs);

} // namespace zorbin::core
