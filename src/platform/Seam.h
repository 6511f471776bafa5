#pragma once

#include <cassert>

namespace qel {

// One replaceable implementation of a desktop service. The program runs on the production
// implementation; a test installs a double with set() and restores the previous one after.
template <typename T> class Seam {
public:
    static T& get() {
        assert(current() && "desktop seam used before an implementation was installed");
        return *current();
    }
    static T* set(T* implementation) {
        T* previous = current();
        current() = implementation;
        return previous;
    }

private:
    static T*& current() {
        static T* instance = nullptr;
        return instance;
    }
};

} // namespace qel
