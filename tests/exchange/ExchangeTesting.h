#pragma once

// Shared helpers of the exchange tests: a store of its own with the window's members, the engines
// on it, a progress that cancels on request, and what a store holds as a fresh connection sees it.

#include "core/SettingsModel.h"
#include "exchange/ExchangeEngine.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <memory>

namespace exchangetest {

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Cancels when the status has changed `after` times (never when negative).
class CancellingProgress : public qel::Progress {
public:
    explicit CancellingProgress(int after = -1) : mAfter(after) {}
    void begin(int count) override { maxima << count; }
    void setStatus(const QString& text) override {
        lines << text;
        ++mSeen;
    }
    bool cancelled() const override { return mAfter >= 0 && mSeen > mAfter; }
    QStringList lines;
    QList<int> maxima;

private:
    int mAfter;
    int mSeen = 0;
};

// A store, the window's members on it, and the engine.
struct Harness : qel::StoreObjects {
    // `dir` holds the store (in store/) and the test's exchange files.
    explicit Harness(const QString& tag) : dir(qeltest::freshStoreDir(tag)) {
        qeltest::freshSettings(tag);
        open();
    }
    // A second connection to the store of another harness (a second process uses it).
    struct Attach {};
    Harness(const QString& existingDir, Attach) : dir(existingDir) { open(); }

    void open() {
        gOlApp = ol::Application::create(dir + QStringLiteral("/store"));
        gOlApp->setClock([] { return QDateTime(QDate(2025, 3, 15), QTime(10, 0)); });
        const ol::NameSpacePtr ns = gOlApp->GetNamespace();
        gOlContactFolder = ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        gOlContacts = gOlContactFolder->Items();
        gOlCalendarFolder = ns->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        gOlCalendarItems = gOlCalendarFolder->Items();
        gSafeContact = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeContactItem"));
        gSafeCalendar = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
        settings.syncData = {true, true, false, false};
        engine = std::make_unique<qel::ExchangeEngine>(storeMembers(), settings);
    }

    ol::ItemPtr addContact(const QString& first, const QString& last, const QString& categories = QString()) {
        ol::ItemPtr c = gOlContactFolder->Items()->Add(ol::olContactItem);
        c->set(ol::prop::FirstName, first);
        c->set(ol::prop::LastName, last);
        if (!categories.isEmpty())
            c->set(ol::prop::Categories, categories);
        c->Save();
        return c;
    }

    ol::ItemPtr addAppointment(const QString& subject, const QDateTime& start, int minutes = 60,
                               const QString& categories = QString()) {
        ol::ItemPtr a = gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
        a->set(ol::prop::Subject, subject);
        a->set(ol::prop::Start, start);
        a->set(ol::prop::Duration, minutes);
        if (!categories.isEmpty())
            a->set(ol::prop::Categories, categories);
        a->Save();
        return a;
    }

    // Quiet runs: a timed sync shows no message.
    qel::ExchangeOutcome exportTo(const QString& path) {
        return engine->ExportToExchangeFile(path, qel::ExchangeMode{false, true});
    }
    qel::ExchangeOutcome importFrom(const QString& path) {
        return engine->ImportFromExchangeFile(path, qel::ExchangeMode{false, true});
    }

    // Every contact and appointment as "folder: subject [categories] start", sorted, through a
    // fresh connection.
    QStringList snapshot() const {
        const ol::ApplicationPtr fresh = ol::Application::create(dir + QStringLiteral("/store"));
        QStringList out;
        for (const QString& path :
             {QStringLiteral("Personal Folders\\Contacts"), QStringLiteral("Personal Folders\\Calendar")}) {
            for (const ol::ItemPtr& item : fresh->GetNamespace()->folderByPath(path)->Items()) {
                QString line = path.section(QLatin1Char('\\'), 1) + QStringLiteral(": ") + item->Subject() +
                               QStringLiteral(" [") + item->text(ol::prop::Categories) + QLatin1Char(']');
                if (item->Class() == ol::kAppointment)
                    line += QLatin1Char(' ') + item->text(ol::prop::Start);
                out << line;
            }
        }
        out.sort();
        return out;
    }

    QString dir;
    qel::SettingsModel settings;
    std::unique_ptr<qel::ExchangeEngine> engine;
};

} // namespace exchangetest
