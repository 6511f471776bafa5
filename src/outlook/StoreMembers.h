#pragma once

// The program's run-time store members: the connection, the folders and items the program works
// on, and the safe-item wrappers. The main window owns them (and the store tool and the tests a
// set of their own, StoreObjects); every subsystem is handed StoreMembers, references to them.

#include "Outlook.h"

#include <memory>

namespace qel {

// References to the holder's store members: held by reference, so that a subsystem follows a
// reconnect (the window puts the new objects in the same members). The holder outlives every
// subsystem it hands them to.
struct StoreMembers {
    ol::ApplicationPtr& gOlApp;
    ol::NameSpacePtr& gOlNameSpace;
    ol::FolderPtr& gOlContactFolder;  // the current contact folder
    ol::ItemsPtr& gOlContacts;        // its items
    ol::FolderPtr& gOlCalendarFolder; // the calendar of the special days and the colouring
    ol::ItemsPtr& gOlCalendarItems;   // its items
    std::shared_ptr<ol::SafeItem>& gSafeContact;
    std::shared_ptr<ol::SafeItem>& gSafeCalendar;
    bool& gNoRedemption; // no safe items: the store's own items are used
};

// The store members themselves, for their holder (the main window, the store tool's run, a test).
struct StoreObjects {
    ol::ApplicationPtr gOlApp;
    ol::NameSpacePtr gOlNameSpace;
    ol::FolderPtr gOlContactFolder;
    ol::ItemsPtr gOlContacts;
    ol::FolderPtr gOlCalendarFolder;
    ol::ItemsPtr gOlCalendarItems;
    std::shared_ptr<ol::SafeItem> gSafeContact;
    std::shared_ptr<ol::SafeItem> gSafeCalendar;
    bool gNoRedemption = false;

    // These members as the subsystems take them (references into this object).
    StoreMembers storeMembers() {
        return {gOlApp,           gOlNameSpace, gOlContactFolder, gOlContacts,  gOlCalendarFolder,
                gOlCalendarItems, gSafeContact, gSafeCalendar,    gNoRedemption};
    }
};

} // namespace qel
