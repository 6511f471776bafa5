#pragma once

#include <QObject>
#include <QString>
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

} // namespace qel
