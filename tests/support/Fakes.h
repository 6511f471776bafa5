#pragma once

#include "platform/Clock.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QStringList>

namespace qeltest {

// A clock that stands still until the test moves it.
class FakeClock : public qel::Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2024, 1, 15), QTime(9, 0)))
        : mNow(std::move(start)) {}
    QDateTime now() const override { return mNow; }
    void setNow(const QDateTime& now) { mNow = now; }
    void advanceSecs(qint64 seconds) { mNow = mNow.addSecs(seconds); }
    void advanceMSecs(qint64 ms) { mNow = mNow.addMSecs(ms); }
    void advanceDays(qint64 days) { mNow = mNow.addDays(days); }

private:
    QDateTime mNow;
};

// Records every file and link handed to the desktop; answers with a set result (default: opened).
class RecordingShell : public qel::Shell {
public:
    bool open(const QString& fileOrUrl) override {
        mOpened.append(fileOrUrl);
        return mResult;
    }
    const QStringList& opened() const { return mOpened; }
    void setResult(bool opened) { mResult = opened; }
    void clear() { mOpened.clear(); }

private:
    QStringList mOpened;
    bool mResult = true;
};

// Records the name of every sound played.
class RecordingSound : public qel::Sound {
public:
    void play(const QString& name) override { mPlayed.append(name); }
    const QStringList& played() const { return mPlayed; }
    void clear() { mPlayed.clear(); }

private:
    QStringList mPlayed;
};

} // namespace qeltest
