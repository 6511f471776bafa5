#pragma once

// Shared helpers of the tools' tests: a store and settings of their own, the tools on bare tags,
// a progress double that can press Cancel part-way, and the store as a fresh connection sees it.

#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "outlook/Outlook.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/StoreUiDouble.h"
#include "support/TestEnvironment.h"
#include "tools/CalendarTools.h"

#include <QAction>
#include <QTimer>
#include <memory>

namespace toolstest {

using qeltest::freshStoreDir;

// The progress window as the tools see it: records the status lines, and reports Cancel once
// `cancelAfter` lines beginning with `cancelOn` were shown.
struct ProgressDouble : qel::Progress {
    QStringList statuses;
    QList<int> begun;
    QString cancelOn;
    int cancelAfter = -1;
    void begin(int count) override { begun << count; }
    void setStatus(const QString& text) override { statuses << text; }
    bool cancelled() const override {
        if (cancelAfter < 0)
            return false;
        int seen = 0;
        for (const QString& s : statuses)
            seen += s.startsWith(cancelOn) ? 1 : 0;
        return seen >= cancelAfter;
    }
};

struct Harness : qel::StoreObjects {
    explicit Harness(const QString& tag) : dir(freshStoreDir(tag)) {
        qeltest::freshSettings(tag);
        gOlApp = ol::Application::create(dir);
        gOlApp->setUi(storeUi);
        gOlNameSpace = gOlApp->GetNamespace();
        gOlContactFolder = gOlNameSpace->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        gOlContacts = gOlContactFolder->Items();
        gOlCalendarFolder = gOlNameSpace->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        gSafeContact = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeContactItem"));
        menuAppointments.setObjectName(QStringLiteral("menuAppointments"));
        qel::ToolControls c{&menuAppointments, &menuCell, &menuTools, &syncTimer};
        qel::ToolHooks hooks;
        hooks.loadProgress = [this] { return &progress; };
        hooks.unloadProgress = [this] { ++unloads; };
        hooks.setWindowShown = [this](bool shown) { windowShown = shown; };
        tools = std::make_unique<qel::CalendarTools>(storeMembers(), c, settings, hooks);
    }

    ol::ItemPtr appointment(const QString& subject, const QString& categories = QString(),
                            const QString& location = QString()) {
        ol::ItemPtr a = gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
        a->set(ol::prop::Subject, subject);
        a->set(ol::prop::Start, QDateTime(QDate(2024, 5, 6), QTime(9, 0)));
        if (!categories.isEmpty())
            a->set(ol::prop::Categories, categories);
        if (!location.isEmpty())
            a->set(ol::prop::Location, location);
        a->Save();
        return a;
    }

    // The labels of the calendar by subject, through a fresh connection ("-" for none).
    QMap<QString, QString> labels() const {
        const ol::ApplicationPtr fresh = ol::Application::create(dir);
        QMap<QString, QString> out;
        for (const ol::ItemPtr& item :
             fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"))->Items()) {
            const QVariant label = ol::labelOf(*item);
            out[item->Subject()] = label.isValid() ? label.toString() : QStringLiteral("-");
        }
        return out;
    }

    // The items of a folder through a fresh connection.
    ol::ItemsPtr freshItems(const QString& path) const {
        return ol::Application::create(dir)->GetNamespace()->folderByPath(path)->Items();
    }

    QString dir;
    std::shared_ptr<qeltest::ScriptedStoreUi> storeUi = std::make_shared<qeltest::ScriptedStoreUi>();
    qel::SettingsModel settings;
    QAction menuAppointments;
    QAction menuCell;
    QObject menuTools;
    QTimer syncTimer;
    ProgressDouble progress;
    int unloads = 0;
    bool windowShown = true;
    std::unique_ptr<qel::CalendarTools> tools;
};

} // namespace toolstest
