#include "ExchangeFile.h"

#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <SQLiteCpp/SQLiteCpp.h>

namespace qel::exchange {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QStringList& folderOverride() {
    static QStringList folders;
    return folders;
}

QStringList templateFolders() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    QStringList folders{programFolder()};
    for (const QString& resources : resourceFolders())
        folders << resources + QStringLiteral("/templates");
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    return folders;
}

template <size_t N>
QString checkTable(SQLite::Database& db, const char* table, const std::array<ColumnDef, N>& columns) {
    SQLite::Statement info(db, std::string("PRAGMA table_info(\"") + table + "\")");
    size_t position = 0;
    while (info.executeStep()) {
        const QString name = QString::fromStdString(info.getColumn(1).getString());
        if (position >= N)
            return QStringLiteral("the table %1 has more than %2 columns").arg(QLatin1String(table)).arg(N);
        if (name.compare(QLatin1String(columns[position].name), Qt::CaseInsensitive) != 0)
            return QStringLiteral("column %1 of the table %2 is %3 where %4 belongs")
                .arg(position)
                .arg(QLatin1String(table), name, QLatin1String(columns[position].name));
        ++position;
    }
    if (position == 0)
        return QStringLiteral("the table %1 is missing").arg(QLatin1String(table));
    if (position < N)
        return QStringLiteral("the table %1 has %2 columns instead of %3")
            .arg(QLatin1String(table))
            .arg(position)
            .arg(N);
    return {};
}

// The file's length against what its header says: a file cut short is refused before SQLite
// reads (or misreads) it.
QString checkHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be read (%1)").arg(file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return QStringLiteral("it is empty (0 bytes)");
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QStringLiteral("it is not an exchange file (not a database)");
    const auto byte = [&](int i) { return static_cast<quint32>(static_cast<unsigned char>(header[i])); };
    quint32 pageSize = (byte(16) << 8) | byte(17);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 pages = (byte(28) << 24) | (byte(29) << 16) | (byte(30) << 8) | byte(31);
    if (pageSize < 512 || size % pageSize != 0 || (pages != 0 && qint64(pages) * pageSize > size))
        return QStringLiteral("it is cut short (%1 bytes where its header promises %2)")
            .arg(size)
            .arg(qint64(pages) * pageSize);
    return {};
}

} // namespace

QString templateFile() {
    for (const QString& folder : templateFolders()) {
        const QFileInfo file(QDir(folder).filePath(QLatin1String(kTemplateFileName)));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

QString missingTemplateMessage() {
    return QStringLiteral("The empty exchange file %1 was not found in %2. Please reinstall the program.")
        .arg(QLatin1String(kTemplateFileName), templateFolders().join(QStringLiteral(", ")));
}

void setTemplateFolders(const QStringList& folders) {
    folderOverride() = folders;
}

QString dateText(const QDateTime& value) {
    return value.isValid() ? value.toString(kDateFormat) : QString();
}

QDateTime parseDateText(const QString& text) {
    if (text.isEmpty())
        return {};
    return QDateTime::fromString(text, kDateFormat);
}

std::unique_ptr<ExchangeFile> ExchangeFile::open(const QString& path, QString* why) {
    const auto refuse = [&](const QString& reason) -> std::unique_ptr<ExchangeFile> {
        if (why)
            *why = reason;
        return nullptr;
    };
    if (!QFileInfo(path).isFile())
        return refuse(QStringLiteral("it does not exist"));
    if (const QString bad = checkHeader(path); !bad.isEmpty())
        return refuse(bad);
    std::unique_ptr<ExchangeFile> file(new ExchangeFile);
    file->mPath = path;
    try {
        file->mDb =
            std::make_unique<SQLite::Database>(QFile::encodeName(path).toStdString(), SQLite::OPEN_READONLY);
        file->mDb->setBusyTimeout(5000);
        const std::string check = file->mDb->execAndGet("PRAGMA quick_check").getString();
        if (check != "ok")
            return refuse(QStringLiteral("it is damaged (%1)").arg(QString::fromStdString(check)));
        if (QString bad = checkTable(*file->mDb, kContactsTable, kContactColumns); !bad.isEmpty())
            return refuse(bad);
        if (QString bad = checkTable(*file->mDb, kCalendarTable, kCalendarColumns); !bad.isEmpty())
            return refuse(bad);
    } catch (const std::exception& e) {
        return refuse(
            QStringLiteral("it cannot be read as an exchange file (%1)").arg(QString::fromUtf8(e.what())));
    }
    return file;
}

ExchangeFile::~ExchangeFile() = default;

} // namespace qel::exchange
