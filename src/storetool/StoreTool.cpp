#include "StoreTool.h"

#include "DemoData.h"
#include "ExchangeFileCommands.h"
#include "SpecialDayCommands.h"
#include "VcardCommands.h"
#include "outlook/Outlook.h"

#include <QDir>
#include <QStringDecoder>
#include <cctype>
#include <functional>
#include <set>

namespace qel {

namespace {

const char* const kUsage =
    "usage: qel-store [--dir DIR] COMMAND ARGS...\n"
    "  folders                                  list every folder: TYPE<TAB>PATH\n"
    "  mkfolder PATH TYPE                       create a folder (TYPE 0 mail, 1 calendar, 2 contacts,\n"
    "                                           3 tasks, 5 notes, or those words)\n"
    "  add PATH NAME=VALUE...                   add an item, print its EntryID\n"
    "  restrict PATH FILTER [--sort PROP] [--desc] [--show P1,P2...]\n"
    "                                           list the matching items\n"
    "  get ENTRYID [PROP...]                    show an item's properties\n"
    "  delete ENTRYID                           delete an item\n"
    "  demo PATH COUNT [--seed N]               add COUNT demo contacts\n"
    "  rescan [--settings FILE]                 rebuild the QEL Days of the contacts and calendar folders\n"
    "                                           of the settings (default: the user's); bad lines skipped\n"
    "  remove-qeldays [--future] [--settings FILE]\n"
    "                                           remove the QEL Days (only from today on with --future)\n"
    "  export FILE [--settings FILE]            write the contacts and appointments of the settings to the\n"
    "                                           exchange file FILE (replaced only when the run succeeds)\n"
    "  import FILE [--settings FILE]            replace the earlier imports by the rows of the exchange\n"
    "                                           file FILE (all or nothing)\n"
    "  export-vcard PATH [--folder FOLDER] [--version 3.0|4.0]\n"
    "                                           write the contacts of FOLDER (default: the settings'\n"
    "                                           contact folder) as vCards: PATH a .vcf file, or a folder\n"
    "                                           that gets one file per contact\n"
    "  import-vcard PATH [--folder FOLDER]      read the cards of PATH (a .vcf file or a folder of them)\n"
    "                                           into FOLDER, updating the contacts of the same UID\n"
    "                                           (all or nothing)\n"
    "  export-ics PATH [--folder FOLDER] [--qeldays]\n"
    "                                           write the appointments of the calendar FOLDER (default:\n"
    "                                           the settings') to the iCalendar file PATH; only the QEL\n"
    "                                           Days with --qeldays\n"
    "The store folder is DIR (which must exist), else $QEL_STORE_DIR, else the per-user default.\n"
    "Arguments are UTF-8; in values \\n, \\r, \\t and \\\\ stand for a line break, carriage return,\n"
    "tab and backslash, and \\xHH for any other control character (two hex digits), both in what\n"
    "add reads and in what get and restrict print.\n";

struct UsageError {
    QString message;
};

QString escapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f))
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

QString unescapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar n = value.at(++i);
        switch (n.unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        case 'x': {
            const auto hex = [&](qsizetype at) {
                return at < value.size() && isxdigit(value.at(at).unicode()) && value.at(at).unicode() < 0x80;
            };
            if (hex(i + 1) && hex(i + 2)) {
                out += QChar(static_cast<char16_t>(value.mid(i + 1, 2).toUShort(nullptr, 16)));
                i += 2;
            } else {
                out += c;
                out += n;
            }
            break;
        }
        default:
            out += c;
            out += n;
        }
    }
    return out;
}

int parseType(const QString& text) {
    static const QList<std::pair<QString, int>> names = {
        {QStringLiteral("mail"), ol::olMailItem},
        {QStringLiteral("calendar"), ol::olAppointmentItem},
        {QStringLiteral("appointments"), ol::olAppointmentItem},
        {QStringLiteral("contacts"), ol::olContactItem},
        {QStringLiteral("tasks"), ol::olTaskItem},
        {QStringLiteral("notes"), ol::olNoteItem}};
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok && (n == 0 || n == 1 || n == 2 || n == 3 || n == 5))
        return n;
    for (const auto& [name, type] : names) {
        if (name.compare(text, Qt::CaseInsensitive) == 0)
            return type;
    }
    throw UsageError{QStringLiteral("unknown folder type %1 (use 0, 1, 2, 3, 5 or mail, calendar, contacts, "
                                    "tasks, notes)")
                         .arg(text)};
}

void listFolders(const ol::FolderPtr& folder, QTextStream& out) {
    out << folder->DefaultItemType() << '\t' << folder->path() << '\n';
    for (const ol::FolderPtr& child : folder->Folders())
        listFolders(child, out);
}

// Creates the folder at PATH; a new first part makes a new store.
ol::FolderPtr makeFolder(const ol::NameSpacePtr& ns, const QString& path, int type) {
    QString p = path;
    while (p.startsWith(QLatin1Char('\\')))
        p.remove(0, 1);
    const QStringList parts = p.split(QLatin1Char('\\'));
    if (p.isEmpty() || parts.contains(QString()))
        throw UsageError{QStringLiteral("bad folder path \"%1\"").arg(path)};
    ol::FolderPtr folder;
    try {
        folder = ns->Folders()->Item(parts.first());
        if (parts.size() == 1)
            throw ol::Error(ol::kErrInvalidArgument,
                            QStringLiteral("The folder %1 already exists.").arg(path));
    } catch (const ol::Error& e) {
        if (e.number() != ol::kErrNotFound)
            throw;
        folder = ns->Folders()->Add(parts.first(), parts.size() == 1 ? type : ol::olMailItem);
    }
    for (int i = 1; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        try {
            ol::FolderPtr child = folder->Folders()->Item(parts[i]);
            if (last)
                throw ol::Error(ol::kErrInvalidArgument,
                                QStringLiteral("The folder %1 already exists.").arg(path));
            folder = child;
        } catch (const ol::Error& e) {
            if (e.number() != ol::kErrNotFound)
                throw;
            folder = folder->Folders()->Add(parts[i], last ? type : ol::olMailItem);
        }
    }
    return folder;
}

void setValue(const ol::ItemPtr& item, const QString& assignment) {
    const qsizetype eq = assignment.indexOf(QLatin1Char('='));
    if (eq <= 0)
        throw UsageError{QStringLiteral("expected NAME=VALUE, got \"%1\"").arg(assignment)};
    const QString name = assignment.left(eq).trimmed();
    const QString value = unescapeValue(assignment.mid(eq + 1));
    static const QString patternPrefix = QStringLiteral("RecurrencePattern.");
    if (name.startsWith(patternPrefix, Qt::CaseInsensitive))
        item->GetRecurrencePattern()->Set(name.mid(patternPrefix.size()), value);
    else
        item->Set(name, value);
}

const QString kPatternPrefix = QStringLiteral("RecurrencePattern.");

bool isPatternName(const QString& name) {
    return name.startsWith(kPatternPrefix, Qt::CaseInsensitive);
}

QString showValue(const ol::ItemPtr& item, const QString& name) {
    if (isPatternName(name)) {
        if (!item->hasRecurrencePattern())
            return QString();
        const QVariant v = item->GetRecurrencePattern()->Get(name.mid(kPatternPrefix.size()));
        if (v.typeId() == QMetaType::QDateTime)
            return ol::formatDate(v.toDateTime());
        if (v.typeId() == QMetaType::Bool)
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return v.toString();
    }
    const ol::PropertyDef* def = ol::findProperty(name);
    if (!def || !item->has(name))
        throw ol::Error(ol::kErrNotFound,
                        QStringLiteral("The property %1 is not known for this item.").arg(name));
    return escapeValue(item->text(def->id));
}

// A --show or --sort name: a property of the items, or RecurrencePattern.NAME.
bool knownProperty(const QString& name) {
    if (isPatternName(name))
        return ol::findPatternProperty(name.mid(kPatternPrefix.size())) != nullptr;
    return ol::findProperty(name) != nullptr;
}

// The first store a command made in an empty store folder. When the command then fails, the store
// (which holds nothing of the user's) and a folder made for it are removed again, so that a failed
// command leaves the folder as it found it.
struct FirstStore {
    QString dir;
    bool madeFolder = false;
    bool armed = false;

    void arm(const QString& folder) {
        dir = folder.isEmpty() ? ol::Application::storeDirFromEnvironment() : folder;
        const QDir d(dir);
        madeFolder = !d.exists();
        armed = madeFolder || d.entryList({QStringLiteral("*.store")}, QDir::Files | QDir::Hidden).isEmpty();
    }
    void undo() const {
        if (!armed)
            return;
        QDir d(dir);
        for (const QString& name : d.entryList(
                 {QStringLiteral("*.store"), QStringLiteral("*.store-wal"), QStringLiteral("*.store-shm")},
                 QDir::Files | QDir::Hidden))
            d.remove(name);
        if (madeFolder)
            d.rmdir(dir);
    }
};

int run(QStringList args, QTextStream& out, QTextStream& err, FirstStore& firstStore) {
    QString dir;
    bool dirGiven = false;
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        out << kUsage;
        return 0;
    }
    if (!args.isEmpty() && args.first() == QLatin1String("--dir")) {
        if (args.size() < 2)
            throw UsageError{QStringLiteral("--dir needs a folder")};
        dir = args.at(1);
        dirGiven = true;
        args = args.mid(2);
    } else if (!args.isEmpty() && args.first().startsWith(QLatin1String("--dir="))) {
        dir = args.takeFirst().mid(6);
        dirGiven = true;
    }
    if (dirGiven && dir.trimmed().isEmpty())
        throw UsageError{QStringLiteral("--dir needs a folder, not an empty name")};
    if (args.isEmpty())
        throw UsageError{QStringLiteral("no command given")};
    const QString command = args.takeFirst();
    const auto need = [&](int n) {
        if (args.size() < n)
            throw UsageError{QStringLiteral("%1 needs more arguments").arg(command)};
    };

    // Everything the command line alone can show wrong is refused before the store is opened.
    static const std::set<QString> commands = {
        "folders", "mkfolder",       "add",    "restrict", "get",          "delete",       "demo",
        "rescan",  "remove-qeldays", "export", "import",   "export-vcard", "import-vcard", "export-ics"};
    if (!commands.contains(command))
        throw UsageError{QStringLiteral("unknown command %1").arg(command)};
    int folderType = 0;
    QString sortBy;
    bool descending = false;
    QStringList show{QStringLiteral("Subject")};
    int demoCount = 0;
    quint32 demoSeed = 1;
    if (command == QLatin1String("mkfolder")) {
        need(2);
        folderType = parseType(args[1]);
    } else if (command == QLatin1String("add")) {
        need(1);
        for (int i = 1; i < args.size(); ++i) {
            const qsizetype eq = args[i].indexOf(QLatin1Char('='));
            if (eq <= 0)
                throw UsageError{QStringLiteral("expected NAME=VALUE, got \"%1\"").arg(args[i])};
        }
    } else if (command == QLatin1String("restrict")) {
        need(2);
        for (int i = 2; i < args.size(); ++i) {
            const QString& opt = args[i];
            if (opt == QLatin1String("--desc")) {
                descending = true;
            } else if (opt == QLatin1String("--sort") && i + 1 < args.size()) {
                sortBy = args[++i];
                if (!knownProperty(sortBy))
                    throw UsageError{QStringLiteral("--sort: unknown property %1").arg(sortBy)};
            } else if (opt == QLatin1String("--show") && i + 1 < args.size()) {
                show = args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts);
                for (QString& name : show) {
                    name = name.trimmed();
                    if (!knownProperty(name))
                        throw UsageError{QStringLiteral("--show: unknown property %1").arg(name)};
                }
                if (show.isEmpty())
                    throw UsageError{QStringLiteral("--show needs at least one property")};
            } else {
                throw UsageError{QStringLiteral("unknown option %1").arg(opt)};
            }
        }
    } else if (command == QLatin1String("get") || command == QLatin1String("delete")) {
        need(1);
    } else if (command == QLatin1String("demo")) {
        need(2);
        bool ok = false;
        demoCount = args[1].toInt(&ok);
        if (!ok || demoCount < 0)
            throw UsageError{QStringLiteral("COUNT must be a whole number, not \"%1\"").arg(args[1])};
        if (args.size() >= 4 && args[2] == QLatin1String("--seed")) {
            demoSeed = args[3].toUInt(&ok);
            if (!ok)
                throw UsageError{QStringLiteral("--seed takes a whole number, not \"%1\"").arg(args[3])};
        } else if (args.size() > 2) {
            throw UsageError{QStringLiteral("unknown option %1").arg(args[2])};
        }
    }

    // A folder named on the command line must exist; a command that only reads or deletes makes
    // no first store.
    ol::OpenOptions options;
    options.createFolder = !dirGiven;
    options.createFirstStore = command == QLatin1String("folders") || command == QLatin1String("mkfolder") ||
                               command == QLatin1String("add") || command == QLatin1String("demo");
    if (options.createFirstStore)
        firstStore.arm(dir);
    ol::ApplicationPtr app = ol::Application::create(dir, options);
    for (const ol::SkippedStore& skip : app->skippedStores())
        err << "qel-store: skipped " << skip.file << ": " << skip.reason << '\n';
    app->setWarningHandler([&err](const QString& text) { err << "qel-store: " << text << '\n'; });
    ol::NameSpacePtr ns = app->GetNamespace();

    if (command == QLatin1String("folders")) {
        for (const ol::FolderPtr& root : ns->Folders())
            listFolders(root, out);
        return 0;
    }
    if (command == QLatin1String("mkfolder")) {
        makeFolder(ns, args[0], folderType);
        return 0;
    }
    if (command == QLatin1String("add")) {
        ol::FolderPtr folder = ns->folderByPath(args[0]);
        ol::ItemPtr item = folder->Items()->Add();
        for (int i = 1; i < args.size(); ++i)
            setValue(item, args[i]);
        item->Save();
        out << item->EntryID() << '\n';
        return 0;
    }
    if (command == QLatin1String("restrict")) {
        const QString path = args[0];
        const QString filter = args[1];
        ol::ItemsPtr items = ns->folderByPath(path)->Items()->Restrict(filter);
        if (!sortBy.isEmpty())
            items->Sort(sortBy, descending);
        // The columns' properties; nullptr for a recurrence pattern's, which need the item itself.
        std::vector<const ol::PropertyDef*> columns;
        for (const QString& name : show)
            columns.push_back(isPatternName(name) ? nullptr : ol::findProperty(name));
        for (int i = 1, n = items->Count(); i <= n; ++i) {
            ol::ItemPtr item; // made only for a recurrence pattern's values
            QStringList values;
            for (size_t c = 0; c < columns.size(); ++c) {
                if (!columns[c]) {
                    if (!item)
                        item = items->Item(i);
                    values << showValue(item, show[static_cast<qsizetype>(c)]);
                } else if (columns[c]->classes & items->itemClass(i)) {
                    values << escapeValue(ol::propertyText(columns[c]->id, items->value(i, columns[c]->id)));
                } else {
                    values << QString();
                }
            }
            out << values.join(QLatin1Char('\t')) << '\n';
        }
        return 0;
    }
    if (command == QLatin1String("get")) {
        ol::ItemPtr item = ns->GetItemFromID(args.takeFirst());
        if (!item->damage().isEmpty())
            throw ol::Error(ol::kErrStoreFile,
                            QStringLiteral("The item %1 is damaged and cannot be shown (%2); "
                                           "delete removes it.")
                                .arg(item->EntryID(), item->damage()));
        QStringList names = args;
        if (names.isEmpty()) {
            for (int id = 0; id < ol::prop::Count; ++id) {
                const ol::PropertyDef& def = ol::propertyDef(id);
                if ((def.classes & item->Class()) && item->isSet(id) && !item->text(id).isEmpty())
                    names << def.name;
            }
        }
        for (const QString& name : names)
            out << name << '=' << showValue(item, name) << '\n';
        return 0;
    }
    if (command == QLatin1String("delete")) {
        ns->GetItemFromID(args[0])->Delete();
        return 0;
    }
    if (command == QLatin1String("demo")) {
        ol::FolderPtr folder;
        try {
            folder = ns->folderByPath(args[0]);
        } catch (const ol::Error& e) {
            if (e.number() != ol::kErrNotFound)
                throw;
            folder = makeFolder(ns, args[0], ol::olContactItem);
        }
        generateDemoContacts(folder, demoCount, demoSeed);
        return 0;
    }
    try {
        if (const std::optional<int> status = runSpecialDayCommand(command, args, app, out, err))
            return *status;
        if (const std::optional<int> status = runExchangeFileCommand(command, args, app, out, err))
            return *status;
        if (const std::optional<int> status = runVcardCommand(command, args, app, out, err))
            return *status;
    } catch (const std::invalid_argument& e) {
        throw UsageError{QString::fromStdString(e.what())};
    }
    throw UsageError{QStringLiteral("unknown command %1").arg(command)};
}

} // namespace

bool decodeArguments(int argc, const char* const* argv, QStringList& args, QString& error) {
    args.clear();
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString arg = utf8.decode(QByteArrayView(argv[i]));
        if (utf8.hasError()) {
            error = QStringLiteral("argument %1 is not valid UTF-8: \"%2\"").arg(i).arg(arg);
            return false;
        }
        args << arg;
    }
    return true;
}

int runStoreTool(const QStringList& args, QTextStream& out, QTextStream& err) {
    FirstStore firstStore;
    try {
        return run(args, out, err, firstStore);
    } catch (const UsageError& e) {
        err << "qel-store: " << e.message << '\n' << kUsage;
        return 2;
    } catch (const ol::Error& e) {
        firstStore.undo(); // run() has let go of the store by now
        err << "qel-store: " << e.message() << '\n';
        return e.number() == ol::kErrFilter ? 2 : 1;
    }
}

} // namespace qel
