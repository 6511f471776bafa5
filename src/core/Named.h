#pragma once

#include <QString>

namespace qel {

// Gives a new widget, action or timer its design name (the object name the program and its tests
// find it by) and hands it back, so it can be named where it is made.
template <typename T> T* named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

} // namespace qel
