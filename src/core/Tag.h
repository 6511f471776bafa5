#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer> // the sync timer carries the "Syncing" mark
#include <QVariant>

namespace qel {

// A control's Tag: free text kept as the dynamic property "Tag" of any widget, action or timer.
// Commands pass modes and outcomes through it ("Syncing", "Timer Sync", "No Message", "Cancel").
inline QString Tag(const QObject* object) {
    return object ? object->property("Tag").toString() : QString();
}

inline void setTag(QObject* object, const QString& value) {
    if (object)
        object->setProperty("Tag", value);
}

// The sync timer's tag while a command works on the store or waits for the user: no timed sync
// runs meanwhile, and a click on the tray shows the progress window.
const QString kSyncingTag = QStringLiteral("Syncing");

// Marks the object "Syncing" for as long as the scope lives; every way out of a command clears it
// (unless the object has gone meanwhile).
class SyncingScope {
public:
    explicit SyncingScope(QObject* object) : mObject(object) { setTag(object, kSyncingTag); }
    ~SyncingScope() {
        if (mObject)
            setTag(mObject, QString());
    }
    SyncingScope(const SyncingScope&) = delete;
    SyncingScope& operator=(const SyncingScope&) = delete;

private:
    QPointer<QObject> mObject;
};

} // namespace qel
