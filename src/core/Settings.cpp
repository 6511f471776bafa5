#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <memory>
#include <optional>

namespace qel {

namespace {

const QString kGeneral = QStringLiteral("General");
constexpr QChar kByteOrderMark(0xFEFF);

QString& fileOverride() {
    static QString path;
    return path;
}

QString& lastProblem() {
    static QString problem;
    return problem;
}

QString& lastWriteFailure() {
    static QString failure;
    return failure;
}

// QSettings keeps the keys outside any group in the INI section [General] and writes a group named
// "General" as [%General]. The section "General" therefore lives at the top level, so the file shows
// it under its own name.
QString keyPath(const QString& section, const QString& key) {
    return section == kGeneral ? key : section + QLatin1Char('/') + key;
}

// The INI text of a file, split into logical lines (a line ending in a backslash goes on).
QStringList logicalLines(const QString& text) {
    QStringList lines;
    QString current;
    const QStringList physical = text.split(QLatin1Char('\n'));
    for (QString line : physical) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.endsWith(QLatin1Char('\\')) && !line.endsWith(QStringLiteral("\\\\"))) {
            current += line.chopped(1);
            continue;
        }
        lines.append(current + line);
        current.clear();
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

// One value of the INI text as a single string: quotes and escapes as QSettings writes them, but a
// comma is just a comma.
QString unescapeValue(const QString& raw) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (c != QLatin1Char('\\') || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const QChar e = raw.at(++i);
        switch (e.unicode()) {
        case 'a':
            out += QChar(7);
            break;
        case 'b':
            out += QChar(8);
            break;
        case 'f':
            out += QChar(12);
            break;
        case 'n':
            out += QChar(10);
            break;
        case 'r':
            out += QChar(13);
            break;
        case 't':
            out += QChar(9);
            break;
        case 'v':
            out += QChar(11);
            break;
        case 'x': {
            qsizetype end = i + 1;
            while (end < raw.size() && end - i <= 4 &&
                   QStringLiteral("0123456789abcdefABCDEF").contains(raw.at(end)))
                ++end;
            out += QChar(raw.mid(i + 1, end - i - 1).toUShort(nullptr, 16));
            i = end - 1;
            break;
        }
        default:
            if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
                qsizetype end = i;
                while (end < raw.size() && end - i < 3 && raw.at(end) >= QLatin1Char('0') &&
                       raw.at(end) <= QLatin1Char('7'))
                    ++end;
                out += QChar(raw.mid(i, end - i).toUShort(nullptr, 8));
                i = end - 1;
            } else {
                out += e; // \\ \" \' \? and anything unknown
            }
        }
    }
    return out;
}

// QSettings reads an unquoted value with commas ("a, b", as a person typing the file would write it)
// as a list and drops the blanks around the commas. Such a value is read again from the file text.
std::optional<QString> rawValue(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = logicalLines(QString::fromUtf8(file.readAll()));
    bool inSection = false;
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const QString name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1);
            inSection = name == section;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0 && line.left(equals).trimmed() == key)
            return unescapeValue(line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

// A settings file that QSettings cannot read in full: binary bytes, text that is not UTF-8, or lines
// that are neither a section, a key=value pair nor a comment.
bool damagedFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0'))
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return true;
    for (const QString& line : logicalLines(text)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) ? !trimmed.contains(QLatin1Char(']'))
                                                 : !trimmed.contains(QLatin1Char('=')))
            return true;
    }
    return false;
}

// Keeps a copy of a damaged file before QSettings rewrites it with what it could read.
void keepDamagedCopy(const QString& path) {
    QString copy = path + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(copy); ++n)
        copy = path + QStringLiteral(".damaged.") + QString::number(n);
    if (QFile::copy(path, copy)) {
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner); // passwords too
        lastProblem() = QStringLiteral("The settings file %1 could not be read in full; it was copied to %2.")
                            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(copy));
    } else {
        lastProblem() = QStringLiteral("The settings file %1 could not be read in full.")
                            .arg(QDir::toNativeSeparators(path));
    }
    qWarning("%s", qPrintable(lastProblem()));
}

// QSettings writes back the values it read as lists in its own form ("a,b ,c" becomes "a, b, c").
// Before it rewrites the file, such values are set again as the text they were typed as.
void keepListsAsTyped(QSettings& settings, const QString& path) {
    const QStringList all = settings.allKeys();
    for (const QString& name : all) {
        if (settings.value(name).typeId() != QMetaType::QStringList)
            continue;
        const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? kGeneral : name.left(slash);
        if (const auto typed = rawValue(path, section, name.mid(slash + 1)))
            settings.setValue(name, *typed);
    }
}

} // namespace

QString settingsFile() {
    if (!fileOverride().isEmpty())
        return fileOverride();
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QEL"), QStringLiteral("QEL"))
        .fileName();
}

void setSettingsFile(const QString& path) {
    fileOverride() = path;
}

QString settingsProblem() {
    return lastProblem();
}

QString settingsWriteFailure() {
    return lastWriteFailure();
}

namespace {

struct Batch {
    int depth = 0;
    std::unique_ptr<QSettings> settings;
    QString path;
    int writes = 0;
};

Batch& batch() {
    static Batch b;
    return b;
}

// The settings file holds the scrambled passwords: only its owner may read it. A missing file is
// created empty with those permissions before anything is written to it (the writer keeps the
// permissions of the file it replaces); an existing one loses the group's and others' rights (a
// file the owner made read-only stays read-only).
void keepPrivate(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile()) {
        constexpr QFileDevice::Permissions owner =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                    QFileDevice::WriteOther | QFileDevice::ExeOther;
        const QFileDevice::Permissions now = QFile::permissions(path);
        if (now & others)
            QFile::setPermissions(path, now & owner);
    } else if (!info.exists() && QDir().mkpath(info.absolutePath())) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            file.close();
    }
}

// Opens the settings file for writing: a damaged file is copied aside first, and values that were
// typed with commas keep their text.
std::unique_ptr<QSettings> openForWriting(const QString& path) {
    keepPrivate(path);
    if (damagedFile(path))
        keepDamagedCopy(path);
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    keepListsAsTyped(*settings, path);
    return settings;
}

void setValue(QSettings& settings, const QString& section, const QString& key, const QString& value) {
    // QSettings reads text back through a UTF-8 decoder that drops a U+FEFF (byte-order mark) at the
    // start of a run of non-ASCII text. A value holding one is stored as its UTF-8 bytes (written as
    // @ByteArray with escapes), which read back exactly.
    if (value.contains(kByteOrderMark))
        settings.setValue(keyPath(section, key), value.toUtf8());
    else
        settings.setValue(keyPath(section, key), value);
}

void writeOut(QSettings& settings, const QString& path, const QString& what) {
    settings.sync();
    keepPrivate(path);
    if (settings.status() == QSettings::AccessError) {
        lastProblem() = QStringLiteral("The setting %1 could not be written to %2.")
                            .arg(what, QDir::toNativeSeparators(path));
        lastWriteFailure() = lastProblem();
        qWarning("%s", qPrintable(lastProblem()));
    }
}

} // namespace

QString GetSetting(const QString& section, const QString& key) {
    // Inside a batch the batch's settings answer: a second QSettings on the same file would write
    // the pending values out when it goes away.
    const QString path = batch().depth > 0 ? batch().path : settingsFile();
    std::optional<QSettings> own;
    if (batch().depth == 0)
        own.emplace(path, QSettings::IniFormat);
    const QSettings& settings = own ? *own : *batch().settings;
    const QVariant value = settings.value(keyPath(section, key));
    if (!value.isValid())
        return {};
    if (value.typeId() == QMetaType::QStringList)
        return rawValue(path, section, key).value_or(value.toStringList().join(QStringLiteral(", ")));
    if (value.typeId() == QMetaType::QByteArray)
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)
            .decode(value.toByteArray());
    return value.canConvert<QString>() ? value.toString() : QString();
}

SettingsBatch::SettingsBatch() {
    Batch& b = batch();
    if (b.depth++ > 0)
        return;
    lastProblem().clear();
    lastWriteFailure().clear();
    b.path = settingsFile();
    b.settings = openForWriting(b.path);
    b.writes = 0;
}

SettingsBatch::~SettingsBatch() {
    Batch& b = batch();
    if (--b.depth > 0)
        return;
    if (b.writes > 0)
        writeOut(*b.settings, b.path, QStringLiteral("changes (%1 values)").arg(b.writes));
    b.settings.reset();
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
    Batch& b = batch();
    if (b.depth > 0) {
        setValue(*b.settings, section, key, value);
        ++b.writes;
        return;
    }
    const QString path = settingsFile();
    lastProblem().clear();
    lastWriteFailure().clear();
    std::unique_ptr<QSettings> settings = openForWriting(path);
    setValue(*settings, section, key, value);
    writeOut(*settings, path, section + QStringLiteral(" / ") + key);
}

} // namespace qel
