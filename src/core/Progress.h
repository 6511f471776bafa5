#pragma once

#include <QString>
#include <functional>

namespace qel {

// How a long operation (a rescan, an export or import, a colouring run, a sync) reports its
// progress and learns that the user asked it to stop. The host shows it in the progress window;
// an engine run without a window (the command line, a test) may have none.
class Progress {
public:
    virtual ~Progress() = default;
    // The run begins with `count` steps: the bar's range; the window shows.
    virtual void begin(int count) = 0;
    // One step's status line; pending window events run meanwhile.
    virtual void setStatus(const QString& text) = 0;
    // The user asked the run to stop.
    virtual bool cancelled() const = 0;
};

// What a subsystem with long runs needs of the host: the progress window and the main window's
// hiding while the run works. Every hook may be left empty.
struct LongRunHooks {
    std::function<Progress*()> loadProgress;  // the progress window (loaded on first call)
    std::function<void()> unloadProgress;     // its unloading
    std::function<void(bool)> setWindowShown; // shows or hides the main window
};

} // namespace qel
