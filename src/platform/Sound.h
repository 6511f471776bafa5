#pragma once

#include "Seam.h"

#include <QString>

namespace qel {

// Plays one of the program's sounds ("chimes.wav", "ding.wav", "Tada.wav") without waiting.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void play(const QString& name) = 0;
};

using SoundSeam = Seam<Sound>;
inline Sound& sound() {
    return SoundSeam::get();
}

} // namespace qel
