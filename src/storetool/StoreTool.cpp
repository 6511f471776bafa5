#include "StoreTool.h"

#include "DemoData.h"
#include "SpecialDayCommands.h"
#include "outlook/Outlook.h"

#include <functional>

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
    "The store folder is DIR, else $QEL_STORE_DIR, else the per-user default.\n"
    "Values are UTF-8; in values \\n, \\r, \\t and \\\\ stand for a line break, carriage return,\n"
    "tab and backslash, both in what add reads and in what get and restrict print.\n";

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

QString showValue(const ol::ItemPtr& item, const QString& name) {
    static const QString patternPrefix = QStringLiteral("RecurrencePattern.");
    if (name.startsWith(patternPrefix, Qt::CaseInsensitive)) {
        if (!item->hasRecurrencePattern())
            return QString();
        const QVariant v = item->GetRecurrencePattern()->Get(name.mid(patternPrefix.size()));
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

int run(QStringList args, QTextStream& out, QTextStream& err) {
    QString dir;
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        out << kUsage;
        return 0;
    }
    if (args.size() >= 2 && args.first() == QLatin1String("--dir")) {
        dir = args.at(1);
        args = args.mid(2);
    } else if (!args.isEmpty() && args.first().startsWith(QLatin1String("--dir="))) {
        dir = args.takeFirst().mid(6);
    }
    if (args.isEmpty())
        throw UsageError{QStringLiteral("no command given")};
    const QString command = args.takeFirst();
    const auto need = [&](int n) {
        if (args.size() < n)
            throw UsageError{QStringLiteral("%1 needs more arguments").arg(command)};
    };

    ol::ApplicationPtr app = ol::Application::create(dir);
    ol::NameSpacePtr ns = app->GetNamespace();

    if (command == QLatin1String("folders")) {
        for (const ol::FolderPtr& root : ns->Folders())
            listFolders(root, out);
        return 0;
    }
    if (command == QLatin1String("mkfolder")) {
        need(2);
        makeFolder(ns, args[0], parseType(args[1]));
        return 0;
    }
    if (command == QLatin1String("add")) {
        need(1);
        ol::FolderPtr folder = ns->folderByPath(args[0]);
        ol::ItemPtr item = folder->Items()->Add();
        for (int i = 1; i < args.size(); ++i)
            setValue(item, args[i]);
        item->Save();
        out << item->EntryID() << '\n';
        return 0;
    }
    if (command == QLatin1String("restrict")) {
        need(2);
        const QString path = args.takeFirst();
        const QString filter = args.takeFirst();
        QString sortBy;
        bool descending = false;
        QStringList show{QStringLiteral("Subject")};
        while (!args.isEmpty()) {
            const QString opt = args.takeFirst();
            if (opt == QLatin1String("--desc")) {
                descending = true;
            } else if (opt == QLatin1String("--sort") && !args.isEmpty()) {
                sortBy = args.takeFirst();
            } else if (opt == QLatin1String("--show") && !args.isEmpty()) {
                show = args.takeFirst().split(QLatin1Char(','), Qt::SkipEmptyParts);
            } else {
                throw UsageError{QStringLiteral("unknown option %1").arg(opt)};
            }
        }
        ol::ItemsPtr items = ns->folderByPath(path)->Items()->Restrict(filter);
        if (!sortBy.isEmpty())
            items->Sort(sortBy, descending);
        for (const ol::ItemPtr& item : items) {
            QStringList values;
            for (const QString& name : show)
                values << (item->has(name.trimmed()) ||
                                   name.trimmed().startsWith(QLatin1String("RecurrencePattern."))
                               ? showValue(item, name.trimmed())
                               : QString());
            out << values.join(QLatin1Char('\t')) << '\n';
        }
        return 0;
    }
    if (command == QLatin1String("get")) {
        need(1);
        ol::ItemPtr item = ns->GetItemFromID(args.takeFirst());
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
        need(1);
        ns->GetItemFromID(args[0])->Delete();
        return 0;
    }
    if (command == QLatin1String("demo")) {
        need(2);
        bool ok = false;
        const int count = args[1].toInt(&ok);
        if (!ok || count < 0)
            throw UsageError{QStringLiteral("COUNT must be a whole number, not \"%1\"").arg(args[1])};
        quint32 seed = 1;
        if (args.size() >= 4 && args[2] == QLatin1String("--seed")) {
            seed = args[3].toUInt(&ok);
            if (!ok)
                throw UsageError{QStringLiteral("--seed takes a whole number, not \"%1\"").arg(args[3])};
        } else if (args.size() > 2) {
            throw UsageError{QStringLiteral("unknown option %1").arg(args[2])};
        }
        ol::FolderPtr folder;
        try {
            folder = ns->folderByPath(args[0]);
        } catch (const ol::Error& e) {
            if (e.number() != ol::kErrNotFound)
                throw;
            folder = makeFolder(ns, args[0], ol::olContactItem);
        }
        generateDemoContacts(folder, count, seed);
        return 0;
    }
    try {
        if (const std::optional<int> status = runSpecialDayCommand(command, args, app, out, err))
            return *status;
    } catch (const std::invalid_argument& e) {
        throw UsageError{QString::fromStdString(e.what())};
    }
    throw UsageError{QStringLiteral("unknown command %1").arg(command)};
}

} // namespace

int runStoreTool(const QStringList& args, QTextStream& out, QTextStream& err) {
    try {
        return run(args, out, err);
    } catch (const UsageError& e) {
        err << "qel-store: " << e.message << '\n' << kUsage;
        return 2;
    } catch (const ol::Error& e) {
        err << "qel-store: " << e.message() << '\n';
        return e.number() == ol::kErrFilter ? 2 : 1;
    }
}

} // namespace qel
