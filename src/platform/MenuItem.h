#pragma once

#include <QAction>
#include <QMenu>

namespace qel {

// A menu of the menu bar or a pop-up, with its design name on the menu and on the action that
// stands for it in its parent.
inline QMenu* namedMenu(QMenu* menu, const QString& name) {
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

// A command of a menu: the action gets its design name and runs `handler` on `receiver` when it is
// triggered.
template <typename Receiver, typename Handler>
QAction* menuItem(QMenu* parent, const QString& name, const QString& caption, Receiver* receiver,
                  Handler handler) {
    QAction* action = parent->addAction(caption);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, receiver, handler);
    return action;
}

} // namespace qel
