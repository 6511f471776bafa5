#include "CurlFtp.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "QtKeychainKeyring.h"
#include "X11HotKey.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>

namespace qel {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

QUrl shellUrl(const QString& fileOrUrl) {
    if (fileOrUrl.isEmpty())
        return {};
    // "mailto:", "https://", "file:///": a scheme of two letters or more makes it a URL, unless a file
    // of that name exists here. Everything else is a path, which may hold '#', '?' or '%'.
    const QUrl asUrl(fileOrUrl, QUrl::TolerantMode);
    if (asUrl.isValid() && asUrl.scheme().size() >= 2 && !QFileInfo::exists(fileOrUrl))
        return asUrl;
    return QUrl::fromLocalFile(QFileInfo(fileOrUrl).absoluteFilePath());
}

bool DesktopShell::open(const QString& fileOrUrl) {
    const QUrl url = shellUrl(fileOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

QString soundFile(const QString& name) {
    if (name.isEmpty())
        return {};
    QStringList folders{programFolder()};
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    for (const QString& resources : resourceFolders())
        folders << resources + QStringLiteral("/sounds");
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/sounds");
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

QtSound::QtSound() = default;

QtSound::~QtSound() {
    qDeleteAll(mEffects);
}

void QtSound::play(const QString& name) {
    QSoundEffect* effect = mEffects.value(name);
    if (!effect) {
        const QString path = soundFile(name);
        if (path.isEmpty()) {
            // Silence, as when the system has no sound; said once, since the program ships them all.
            if (!mMissing.contains(name)) {
                mMissing.insert(name);
                qWarning("QEL: the sound %s was not found beside the program (%s/resources/sounds) or in "
                         "the program folder; nothing is played.",
                         qPrintable(name),
                         qPrintable(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                                 : QStringLiteral(".")));
            }
            return;
        }
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(path));
        mEffects.insert(name, effect);
    }
    effect->stop();
    effect->play(); // plays once loaded when the file is still loading
}

void installProductionSeams() {
    // Kept for the whole process: the seams may be used until the very end, and the sound effects
    // must not be destroyed after the application object.
    static QtDialogs* const dialogs = new QtDialogs;
    static SystemClock* const clock = new SystemClock;
    static DesktopShell* const shell = new DesktopShell;
    static QtSound* const sound = new QtSound;
    static QtHttpClient* const httpClient = new QtHttpClient;
    static CurlFtpClient* const ftpClient = new CurlFtpClient;
    static X11HotKey* const hotKeys = new X11HotKey; // takes the application's X11 connection, if any
    static QtKeychainKeyring* const passwords = new QtKeychainKeyring;
    DialogsSeam::set(dialogs);
    ClockSeam::set(clock);
    ShellSeam::set(shell);
    SoundSeam::set(sound);
    HttpSeam::set(httpClient);
    FtpSeam::set(ftpClient);
    HotKeySeam::set(hotKeys);
    setKeyring(passwords);
}

} // namespace qel
