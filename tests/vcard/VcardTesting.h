#pragma once

// Stores and contacts for the vCard tests: every contact property filled, and reading a folder
// back through a fresh store connection.

#include "outlook/Outlook.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTest>

namespace vcardtest {

inline ol::FolderPtr contactsOf(const ol::ApplicationPtr& app) {
    return app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
}

// The writable contact properties a card must carry.
inline bool carried(int id) {
    const ol::PropertyDef& def = ol::propertyDef(id);
    return (def.classes & ol::kContact) && !def.readOnly;
}

// A value for every carried property, of its type, with the characters a card must escape.
inline void fillEveryProperty(ol::Item& c, const QString& tag) {
    using namespace ol::prop;
    const QSet<int> derived = {FullName,    Subject,      FileAs,      BusinessAddress,
                               HomeAddress, OtherAddress, MessageClass};
    for (int id = 0; id < ol::prop::Count; ++id) {
        if (!carried(id) || derived.contains(id))
            continue;
        const ol::PropertyDef& def = ol::propertyDef(id);
        switch (def.type) {
        case ol::PropType::Text:
            c.set(id, QStringLiteral("%1 %2 Müller; a,b \\ é").arg(def.name, tag));
            break;
        case ol::PropType::Keywords:
            c.set(id, QStringLiteral("Golf, Family; Ärzte %1").arg(tag));
            break;
        case ol::PropType::DateTime:
            c.set(id, QDateTime(QDate(1970 + id % 40, 1 + id % 12, 1 + id % 28), QTime(0, 0)));
            break;
        case ol::PropType::Integer:
            c.set(id, id == Gender ? 1 : 2);
            break;
        case ol::PropType::Boolean:
            c.set(id, true);
            break;
        }
    }
    c.set(Body, QStringLiteral("First line %1\r\nSecond; line, with \\ and a long tail that needs folding "
                               "because it runs far beyond seventy-five octets: ÄÖÜ äöü ß €€€€€€€€€€€")
                    .arg(tag));
    c.set(User1, QStringLiteral("4/23/1980\r\n*A .Wedding 6/1/2005"));
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace vcardtest
