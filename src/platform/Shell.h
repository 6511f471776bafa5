#pragma once

#include "Seam.h"

#include <QString>

namespace qel {

// Opens links and files with the desktop's associated program.
class Shell {
public:
    virtual ~Shell() = default;
    // Returns false when the desktop could not open it.
    virtual bool open(const QString& fileOrUrl) = 0;
};

using ShellSeam = Seam<Shell>;
inline Shell& shell() {
    return ShellSeam::get();
}

} // namespace qel
