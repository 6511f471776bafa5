#pragma once

// The version page of the download host and the program's own version. The page's body is read as
// text and split at every "_": field 1, 2 and 3 are the newest release's major, minor and revision
// numbers, field 6 its release notes with "<BR>" for each line break. A version is worth
// major + minor / 10 + revision / 100, so a revision of 50 counts as much as five minor steps.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qel {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
    double value() const { return major + minor / 10.0 + revision / 100.0; }
    QString text() const; // "5.6.0"
};

// The running program's version (the project's).
ProgramVersion runningVersion();

// What the version page announces.
struct VersionPage {
    ProgramVersion version;       // fields 1 to 3
    QString versionText;          // fields 1 to 3 as the page writes them, joined by "."
    std::optional<QString> notes; // field 6, its "<BR>" made line breaks (CR LF); none when missing
};

// The inner text of the page's body (the whole text when it has no body element).
QString bodyText(const QByteArray& page);

// The page's announcement; std::nullopt when the body has fewer than four fields or a field 1 to 3
// that is not a whole number (an error page, a moved page, a page of another kind).
std::optional<VersionPage> readVersionPage(const QByteArray& page);

} // namespace qel
