#pragma once

#include "Clock.h"
#include "Dialogs.h"
#include "Http.h"
#include "Shell.h"
#include "Sound.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QSoundEffect;

namespace qel {

// The production implementations of the desktop seams.

// Message boxes, input boxes and the open-file dialog of Qt, owned by the active window.
class QtDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title = QString(),
                 MsgIcon icon = MsgIcon::None) override;
    MsgResult ask(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    // Returns -1 when the box was closed without pressing one of the buttons.
    int choose(const QString& text, const QString& title, const QStringList& buttons, MsgIcon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter, const QString& startDir) override;
    QString saveFile(const QString& title, const QString& filter, const QString& startPath) override;
    int exec(QDialog& dialog) override;
};

// The system's local date and time.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

// QDesktopServices: URLs as they are, local paths (absolute, relative or existing files) as file URLs.
class DesktopShell : public Shell {
public:
    bool open(const QString& fileOrUrl) override;
};

// HTTP over QNetworkAccessManager (made on the first request, kept for the run).
class QtHttpClient : public HttpClient {
public:
    QtHttpClient();
    ~QtHttpClient() override;
    void get(const QUrl& url, QObject* context, std::function<void(const HttpReply&)> done) override;

private:
    std::unique_ptr<QNetworkAccessManager> mManager;
};

// Plays a .wav of the program through QSoundEffect. A sound whose file cannot be found plays nothing;
// the first try of each such sound leaves a warning naming it on the standard error.
class QtSound : public Sound {
public:
    QtSound();
    ~QtSound() override;
    void play(const QString& name) override;

private:
    QHash<QString, QSoundEffect*> mEffects; // loaded once, kept for the run
    QSet<QString> mMissing;                 // sounds found missing (and said so) already
};

// The file of one of the program's sounds: looked up in the program folder, the executable's folder,
// the "sounds" of each resource folder (resourceFolders(): beside the program, the installed share
// folder, the build tree's resources) and the executable's "sounds"; "" when none has it.
QString soundFile(const QString& name);

// How DesktopShell hands a text to the desktop: a URL with a scheme stays a URL, anything else is a
// local path made absolute.
QUrl shellUrl(const QString& fileOrUrl);

// Installs the production implementation of every desktop seam (once, at program start, after the
// QApplication exists: the hot keys use its X11 connection).
void installProductionSeams();

} // namespace qel
