#pragma once

#include "outlook/Outlook.h"

#include <QStringList>
#include <QTest>
#include <deque>
#include <functional>

namespace qeltest {

// Stands in for the store's own windows. Folder picks are answered from a queue (nullptr is the
// user's Cancel); a pick nobody scripted fails the test. display() and showCategories() record the
// item's Subject and run an optional action on the item, as a user working in that window would.
class ScriptedStoreUi : public ol::StoreUi {
public:
    std::deque<ol::FolderPtr> picks;
    std::function<void(const ol::ItemPtr&)> onDisplay;
    std::function<void(const ol::ItemPtr&)> onCategories;
    QStringList displayed;
    QStringList categorised;
    int unexpected = 0;

    void expectPick(ol::FolderPtr folder) { picks.push_back(std::move(folder)); }

    ol::FolderPtr pickFolder(ol::NameSpace&) override {
        if (picks.empty()) {
            ++unexpected;
            QTest::qFail("the folder picker opened without a scripted answer", __FILE__, __LINE__);
            return nullptr;
        }
        ol::FolderPtr answer = picks.front();
        picks.pop_front();
        return answer;
    }
    void display(const ol::ItemPtr& item) override {
        displayed << item->Subject();
        if (onDisplay)
            onDisplay(item);
    }
    void showCategories(const ol::ItemPtr& item) override {
        categorised << item->Subject();
        if (onCategories)
            onCategories(item);
    }
};

} // namespace qeltest
