#pragma once

// Small helpers of the editing commands.

#include "EditorControls.h"
#include "core/Tag.h"

#include <QEvent>
#include <QHash>
#include <QObject>
#include <functional>

namespace qel {

// The link a contact's web page opens in the browser: a page without a scheme is taken as http;
// a text naming anything else (another scheme, a path of this machine) is no web page and gives "".
QString webPageLink(const QString& page);

// Runs a handler when one of the watched widgets is double-clicked (text boxes have no signal of
// their own for it). The widget still gets the event.
class DoubleClickFilter : public QObject {
public:
    using QObject::QObject;
    void watch(QObject* widget, std::function<void()> handler) {
        mHandlers.insert(widget, std::move(handler));
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const auto it = mHandlers.constFind(watched);
            if (it != mHandlers.constEnd() && it.value())
                it.value()();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QHash<QObject*, std::function<void()>> mHandlers;
};

} // namespace qel
