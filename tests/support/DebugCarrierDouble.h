#pragma once

// Header only: tests that include it link qel_core.
#include "core/DebugLog.h"

#include <QStringList>

namespace qeltest {

// Stands in for the preferences dialog as the carrier of the debug log while it lives: debugging
// mode as set, every message kept and, like the dialog's text box, appended to Debug.txt.
class DebugCarrierDouble : public qel::DebugCarrier {
public:
    explicit DebugCarrierDouble(bool on = true) : mOn(on), mPrevious(qel::debugCarrier()) {
        qel::setDebugCarrier(this);
    }
    ~DebugCarrierDouble() override { qel::setDebugCarrier(mPrevious); }
    DebugCarrierDouble(const DebugCarrierDouble&) = delete;
    DebugCarrierDouble& operator=(const DebugCarrierDouble&) = delete;

    bool debugModeOn() const override { return mOn; }
    void setCarrierText(const QString& text) override {
        mTexts.append(text);
        qel::appendDebugText(text);
    }

    void setOn(bool on) { mOn = on; }
    const QStringList& texts() const { return mTexts; }

private:
    bool mOn;
    qel::DebugCarrier* mPrevious;
    QStringList mTexts;
};

} // namespace qeltest
