#include "CurlFtp.h"

#include <QFile>
#include <QSaveFile>
#include <QUrl>
#include <curl/curl.h>

namespace qel {

namespace {

CURL* handle(void* curl) {
    return static_cast<CURL*>(curl);
}

// Initialises libcurl once for the process, before the first handle.
CURL* newHandle() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised ? curl_easy_init() : nullptr;
}

// A libcurl string list, freed with its owner.
class StringList {
public:
    StringList() = default;
    ~StringList() { curl_slist_free_all(mList); }
    StringList(const StringList&) = delete;
    StringList& operator=(const StringList&) = delete;
    void append(const QString& text) { mList = curl_slist_append(mList, text.toUtf8().constData()); }
    curl_slist* get() const { return mList; }

private:
    curl_slist* mList = nullptr;
};

// Errors after which the control connection is gone: the client counts as disconnected.
bool losesConnection(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_USE_SSL_FAILED:
    case CURLE_WEIRD_SERVER_REPLY:
        return true;
    default:
        return false;
    }
}

// Swallows what libcurl writes when no transfer asked for it (the header lines of a file's MDTM and SIZE).
size_t discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

// A name fit to be sent in a command line of the control connection.
bool plainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'));
}

} // namespace

// What one transfer reads, writes and reports.
struct CurlFtpClient::Transfer {
    QIODevice* source = nullptr; // upload
    QIODevice* sink = nullptr;   // download
    QByteArray* text = nullptr;  // a listing
    const FtpProgress* progress = nullptr;
    bool cancelled = false;
    bool sinkFailed = false;

    static size_t read(char* buffer, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const qint64 got = t->source->read(buffer, static_cast<qint64>(size * count));
        return got < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(got);
    }
    static size_t write(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const auto bytes = static_cast<qint64>(size * count);
        if (t->text) {
            t->text->append(data, bytes);
            return size * count;
        }
        if (t->sink->write(data, bytes) != bytes) {
            t->sinkFailed = true;
            return 0;
        }
        return size * count;
    }
    static int progressed(void* self, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal,
                          curl_off_t upNow) {
        auto* t = static_cast<Transfer*>(self);
        if (!t->progress || !*t->progress)
            return 0;
        const bool upload = t->source != nullptr;
        const curl_off_t total = upload ? upTotal : downTotal;
        if (!(*t->progress)(upload ? upNow : downNow, total > 0 ? total : -1)) {
            t->cancelled = true;
            return 1;
        }
        return 0;
    }
};

CurlFtpClient::CurlFtpClient(CurlFtpOptions options)
    : mCurl(newHandle()), mOptions(std::move(options)), mErrorBuffer(CURL_ERROR_SIZE + 1, '\0') {}

CurlFtpClient::~CurlFtpClient() {
    if (mCurl)
        curl_easy_cleanup(handle(mCurl));
}

void CurlFtpClient::configure(const FtpSettings& settings) {
    if (settings == mSettings)
        return;
    disconnect();
    mSettings = settings;
    mSettings.host = mSettings.host.trimmed();
}

QString CurlFtpClient::masked(QString text) const {
    const QString& password = mSettings.password;
    if (!password.isEmpty()) {
        text.replace(password, QStringLiteral("****"));
        const QString escaped = QString::fromLatin1(QUrl::toPercentEncoding(password));
        if (escaped != password)
            text.replace(escaped, QStringLiteral("****"), Qt::CaseInsensitive);
    }
    return text;
}

bool CurlFtpClient::prepare(const QString& what, const QString& remotePath) {
    if (!mCurl) {
        mError = what + QStringLiteral(": the FTP library could not be started");
        return false;
    }
    CURL* curl = handle(mCurl);
    curl_easy_reset(curl);
    mErrorBuffer.fill('\0');

    QString host = mSettings.host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']'); // an IPv6 address
    QByteArray url = "ftp://" + host.toUtf8() + ':' + QByteArray::number(mSettings.port) + '/';
    // Each path segment escaped on its own, so a '/' stays a separator and '#', '?', '%' and spaces
    // in a name reach the server as they are.
    const QStringList segments = remotePath.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QByteArray segment = segments[i].toUtf8();
        char* escaped = curl_easy_escape(curl, segment.constData(), static_cast<int>(segment.size()));
        url += escaped;
        curl_free(escaped);
        if (i + 1 < segments.size())
            url += '/';
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, mSettings.user.toUtf8().constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, mSettings.password.toUtf8().constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, mErrorBuffer.data());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(mOptions.connectTimeout));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(mOptions.responseTimeout));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(mOptions.stalledTimeout));
    if (!mSettings.passive)
        curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    if (mSettings.tls) {
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!mOptions.caFile.isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, mOptions.caFile.toUtf8().constData());
    }
    return true;
}

QString CurlFtpClient::localProblem(const QString& what, const QFileDevice& file, const char* doing) {
    return what + QStringLiteral(": ") + file.fileName() + QLatin1String(doing) + file.errorString();
}

bool CurlFtpClient::perform(const QString& what, Transfer* transfer) {
    CURL* curl = handle(mCurl);
    if (transfer) {
        if (transfer->source) {
            curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Transfer::read);
            curl_easy_setopt(curl, CURLOPT_READDATA, transfer);
        } else {
            curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::write);
            curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer);
        }
        if (transfer->progress && *transfer->progress) {
            curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::progressed);
            curl_easy_setopt(curl, CURLOPT_XFERINFODATA, transfer);
        }
    }
    const CURLcode code = curl_easy_perform(curl);
    char* localIp = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_LOCAL_IP, &localIp) == CURLE_OK && localIp && *localIp)
        mLocalAddress = QString::fromLatin1(localIp);
    if (code == CURLE_OK) {
        mConnected = true;
        mError.clear();
        return true;
    }
    if (losesConnection(code))
        mConnected = false;
    QString reason;
    if (transfer && transfer->cancelled)
        reason = QStringLiteral("Transfer cancelled");
    else if (transfer && transfer->sinkFailed)
        reason = QStringLiteral("the local file could not be written: ") + transfer->sink->errorString();
    else {
        reason = QString::fromUtf8(mErrorBuffer.constData());
        if (reason.isEmpty())
            reason = QString::fromUtf8(curl_easy_strerror(code));
        long reply = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
        if (reply >= 400)
            reason += QStringLiteral(" (server reply %1)").arg(reply);
    }
    mError = masked(what + QStringLiteral(": ") + reason);
    return false;
}

bool CurlFtpClient::connect() {
    const QString what = QStringLiteral("Connect to %1:%2").arg(mSettings.host).arg(mSettings.port);
    mConnected = false;
    if (mSettings.host.isEmpty()) {
        mError = QStringLiteral("Connect: no host name");
        return false;
    }
    // Logging in alone does not prove the session usable: a NOOP after it must be answered too.
    if (!prepare(what, QString()))
        return false;
    curl_easy_setopt(handle(mCurl), CURLOPT_NOBODY, 1L);
    StringList commands;
    commands.append(QStringLiteral("NOOP"));
    curl_easy_setopt(handle(mCurl), CURLOPT_QUOTE, commands.get());
    return perform(what);
}

bool CurlFtpClient::quote(const QString& what, const QStringList& names, const QStringList& commands) {
    for (const QString& name : names) {
        if (!plainName(name)) {
            mError = what + QStringLiteral(": not a file name");
            return false;
        }
    }
    if (!prepare(what, QString()))
        return false;
    StringList list;
    for (const QString& command : commands)
        list.append(command);
    curl_easy_setopt(handle(mCurl), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(handle(mCurl), CURLOPT_QUOTE, list.get());
    return perform(what);
}

QList<FtpEntry> CurlFtpClient::parseMlsd(const QByteArray& answer) {
    QList<FtpEntry> entries;
    for (QByteArray line : answer.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        // "fact=value;fact=value; name": the name follows the first space and may hold spaces.
        const qsizetype space = line.indexOf(' ');
        if (space < 0)
            continue;
        FtpEntry entry;
        entry.name = QString::fromUtf8(line.mid(space + 1));
        QByteArray type;
        for (const QByteArray& fact : line.left(space).split(';')) {
            const qsizetype equals = fact.indexOf('=');
            if (equals < 0)
                continue;
            const QByteArray key = fact.left(equals).toLower();
            const QByteArray value = fact.mid(equals + 1);
            if (key == "type")
                type = value.toLower();
            else if (key == "size")
                entry.size = value.toLongLong();
            else if (key == "modify") {
                // YYYYMMDDHHMMSS[.sss], always UTC.
                QDateTime when = QDateTime::fromString(QString::fromLatin1(value.left(14)),
                                                       QStringLiteral("yyyyMMddHHmmss"));
                when.setTimeSpec(Qt::UTC);
                entry.modified = when;
            }
        }
        if (type == "cdir" || type == "pdir" || entry.name == QLatin1String(".") ||
            entry.name == QLatin1String(".."))
            continue;
        entry.directory = type == "dir";
        entries.append(entry);
    }
    return entries;
}

std::optional<QList<FtpEntry>> CurlFtpClient::list() {
    QByteArray answer;
    Transfer transfer;
    transfer.text = &answer;
    if (!prepare(QStringLiteral("List"), QString()))
        return std::nullopt;
    curl_easy_setopt(handle(mCurl), CURLOPT_CUSTOMREQUEST, "MLSD");
    if (perform(QStringLiteral("List"), &transfer))
        return parseMlsd(answer);
    long reply = 0;
    curl_easy_getinfo(handle(mCurl), CURLINFO_RESPONSE_CODE, &reply);
    // A server without MLSD says so with a 50x; anything else is a real failure.
    if (reply < 500 || reply > 504)
        return std::nullopt;
    return listByNames();
}

std::optional<QList<FtpEntry>> CurlFtpClient::listByNames() {
    QByteArray answer;
    Transfer transfer;
    transfer.text = &answer;
    if (!prepare(QStringLiteral("List"), QString()))
        return std::nullopt;
    curl_easy_setopt(handle(mCurl), CURLOPT_DIRLISTONLY, 1L);
    if (!perform(QStringLiteral("List"), &transfer))
        return std::nullopt;
    QList<FtpEntry> entries;
    for (QByteArray line : answer.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line == "." || line == "..")
            continue;
        FtpEntry entry;
        entry.name = QString::fromUtf8(line);
        // MDTM (and SIZE) of the one file; a folder has neither and keeps its time unknown.
        const QString what = QStringLiteral("Time of ") + entry.name;
        if (!prepare(what, entry.name))
            return std::nullopt;
        curl_easy_setopt(handle(mCurl), CURLOPT_NOBODY, 1L);
        curl_easy_setopt(handle(mCurl), CURLOPT_FILETIME, 1L);
        if (perform(what)) {
            curl_off_t time = -1;
            curl_off_t size = -1;
            curl_easy_getinfo(handle(mCurl), CURLINFO_FILETIME_T, &time);
            curl_easy_getinfo(handle(mCurl), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
            if (time >= 0)
                entry.modified = QDateTime::fromSecsSinceEpoch(time, Qt::UTC);
            entry.size = size;
        }
        entries.append(entry);
    }
    mError.clear();
    return entries;
}

bool CurlFtpClient::put(const QString& localPath, const QString& remoteName, const FtpProgress& progress) {
    const QString what = QStringLiteral("Upload of ") + remoteName;
    QFile source(localPath);
    if (!source.open(QIODevice::ReadOnly)) {
        mError = localProblem(what, source, " could not be read: ");
        return false;
    }
    Transfer transfer;
    transfer.source = &source;
    transfer.progress = &progress;
    if (!prepare(what, remoteName))
        return false;
    curl_easy_setopt(handle(mCurl), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle(mCurl), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(source.size()));
    return perform(what, &transfer);
}

bool CurlFtpClient::get(const QString& remoteName, const QString& localPath, const FtpProgress& progress) {
    const QString what = QStringLiteral("Download of ") + remoteName;
    // Written aside and moved over localPath only when complete.
    QSaveFile target(localPath);
    if (!target.open(QIODevice::WriteOnly)) {
        mError = localProblem(what, target, " could not be written: ");
        return false;
    }
    Transfer transfer;
    transfer.sink = &target;
    transfer.progress = &progress;
    if (!prepare(what, remoteName))
        return false;
    if (!perform(what, &transfer)) {
        target.cancelWriting();
        return false;
    }
    if (!target.commit()) {
        mError = localProblem(what, target, " could not be written: ");
        return false;
    }
    return true;
}

bool CurlFtpClient::remove(const QString& remoteName) {
    return quote(QStringLiteral("Delete of ") + remoteName, {remoteName},
                 {QStringLiteral("DELE ") + remoteName});
}

bool CurlFtpClient::rename(const QString& from, const QString& to) {
    return quote(QStringLiteral("Rename of %1 to %2").arg(from, to), {from, to},
                 {QStringLiteral("RNFR ") + from, QStringLiteral("RNTO ") + to});
}

void CurlFtpClient::disconnect() {
    mConnected = false;
    if (!mCurl)
        return;
    // Cleaning the handle up closes its connections (with QUIT); the next operation starts afresh.
    curl_easy_cleanup(handle(mCurl));
    mCurl = newHandle();
}

} // namespace qel
