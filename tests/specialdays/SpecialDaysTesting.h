#pragma once

// Shared helpers of the special-day tests: a store and settings of their own, contacts with
// special-day lines, the engine on them, and the calendar as a fresh connection sees it.

#include "core/SettingsModel.h"
#include "outlook/Outlook.h"
#include "specialdays/SpecialDayEngine.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <algorithm>
#include <memory>

namespace daystest {

using qeltest::freshStoreDir;

// A special-day appointment as stored.
struct Day {
    QDateTime start;
    QString subject;
    QString location;
    QString body;
    bool allDay = false;
    bool reminder = false;
    int minutes = 0;
    QVariant colour; // the label, invalid when none was written
};

// The store, the window's members and the engine on them.
struct Harness : qel::StoreObjects {
    explicit Harness(const QString& tag) : dir(freshStoreDir(tag)) {
        qeltest::freshSettings(tag);
        gOlApp = ol::Application::create(dir);
        gOlNameSpace = gOlApp->GetNamespace();
        gOlContactFolder = gOlNameSpace->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        gOlContacts = gOlContactFolder->Items();
        gOlCalendarFolder = gOlNameSpace->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        gSafeCalendar = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
        engine = std::make_unique<qel::SpecialDayEngine>(storeMembers(), settings, &marker);
    }

    ol::ItemPtr addContact(const QString& first, const QString& last, const QString& lines) {
        ol::ItemPtr c = gOlContactFolder->Items()->Add(ol::olContactItem);
        c->set(ol::prop::FirstName, first);
        c->set(ol::prop::LastName, last);
        c->set(ol::prop::User1, lines);
        c->Save();
        return c;
    }

    // The calendar's QELDay items through a fresh connection, by start and subject.
    std::vector<Day> days() const {
        const ol::ApplicationPtr fresh = ol::Application::create(dir);
        const ol::FolderPtr calendar =
            fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        auto session = ol::MapiSession::create(fresh);
        session->Logon();
        std::vector<Day> out;
        for (const ol::ItemPtr& item :
             calendar->Items()->Restrict(QStringLiteral("[Categories] = 'QELDay'"))) {
            Day d{item->get(ol::prop::Start).toDateTime(),
                  item->Subject(),
                  item->text(ol::prop::Location),
                  item->text(ol::prop::Body),
                  item->get(ol::prop::AllDayEvent).toBool(),
                  item->get(ol::prop::ReminderSet).toBool(),
                  item->get(ol::prop::ReminderMinutesBeforeStart).toInt(),
                  QVariant()};
            d.colour = item->namedProperty(QStringLiteral("0220060000000000C000000000000046"),
                                           QStringLiteral("0x8214"));
            out.push_back(d);
        }
        std::sort(out.begin(), out.end(), [](const Day& a, const Day& b) {
            return a.start != b.start ? a.start < b.start : a.subject < b.subject;
        });
        return out;
    }

    QStringList dayTexts() const {
        QStringList out;
        for (const Day& d : days())
            out << d.start.toString(QStringLiteral("yyyy-MM-dd hh:mm ")) + d.subject +
                       (d.location.isEmpty() ? QString()
                                             : QStringLiteral(" (") + d.location + QLatin1Char(')'));
        return out;
    }

    QString dir;
    qel::SettingsModel settings;
    QObject marker; // MsgBoxEx1
    std::unique_ptr<qel::SpecialDayEngine> engine;
};

inline QDateTime at(int y, int m, int d, int h = 9, int min = 0, int sec = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, sec));
}

} // namespace daystest
