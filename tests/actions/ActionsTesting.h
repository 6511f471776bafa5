#pragma once

// The contact actions on bare controls of their own, with live settings loaded from the test's
// settings file, a store for the "me" contact, and every hook recorded; and a real HTTP server on
// 127.0.0.1 for the click-to-call request.

#include "actions/ContactActions.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "outlook/Outlook.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "support/HttpServer.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace actionstest {

const QColor kShiftInk(255, 0, 0);

// A new folder under the test's sandbox.
inline QString freshDir(const QString& tag) {
    static int serial = 0;
    const QString dir = qeltest::sandboxRoot() + QStringLiteral("/%1-%2").arg(tag).arg(++serial);
    QDir().mkpath(dir);
    return dir;
}

// The card's controls on a bare widget and the actions on them.
struct Harness {
    Harness() {
        app = ol::Application::create(freshDir(QStringLiteral("store")));
        contactFolder = app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        qel::setProgramFolder(freshDir(QStringLiteral("program")));
        settings.load();
        qel::ActionControls ui;
        for (QLineEdit*& box : ui.txtNumber)
            box = new QLineEdit(&form);
        ui.lstEmail = emails = new QListWidget(&form);
        emails->addItems({QString(), QString(), QString()});
        ui.lstWebSite = web = new QListWidget(&form);
        web->addItem(QString());
        ui.txtBusinessAddress = new QPlainTextEdit(&form);
        ui.txtHomeAddress = new QPlainTextEdit(&form);
        ui.txtOtherAddress = new QPlainTextEdit(&form);
        ui.cmbContacts = contacts = new QComboBox(&form);
        ui.lblMisc = status = new QLabel(&form);
        controls = ui;
        qel::ActionHooks hooks;
        hooks.editing = [this] { return editing; };
        hooks.shiftMarked = [](const QWidget* control) {
            return control->palette().color(QPalette::Text) == kShiftInk;
        };
        hooks.keyUp = [this] { ++keyUps; };
        hooks.startMiscTimer = [this] { ++miscTimerStarts; };
        hooks.userField = [this](int i) { return userFields.value(i - 1); };
        hooks.setUserField = [this](int i, const QString& text) { userFields[i - 1] = text; };
        hooks.printer = [this] { return printer ? printer() : nullptr; };
        actions =
            std::make_unique<qel::ContactActions>(ui, contactFolder, settings, &syncTimer, &form, hooks);
    }

    // Shows a contact on the card by its name in the contact list.
    void show(const QString& name) {
        contacts->clear();
        contacts->addItem(name);
    }
    // Paints a control with the Shift mark as the window does while Shift is held.
    static void markShift(QWidget* control) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Text, kShiftInk);
        control->setPalette(palette);
    }
    ol::ItemPtr addContact(const QString& first, const QString& last, int prop = -1,
                           const QString& value = {}) {
        ol::ItemPtr c = contactFolder->Items()->Add(ol::olContactItem);
        c->set(ol::prop::FirstName, first);
        c->set(ol::prop::LastName, last);
        if (prop >= 0)
            c->set(prop, value);
        c->Save();
        return c;
    }

    ol::ApplicationPtr app;
    ol::FolderPtr contactFolder;
    qel::SettingsModel settings;
    QWidget form;
    qel::ActionControls controls;
    QListWidget* emails = nullptr;
    QListWidget* web = nullptr;
    QComboBox* contacts = nullptr;
    QLabel* status = nullptr;
    QTimer syncTimer;
    bool editing = false;
    int keyUps = 0;
    int miscTimerStarts = 0;
    QStringList userFields{QString(), QString(), QString(), QString()};
    std::function<std::unique_ptr<QPrinter>()> printer;
    std::unique_ptr<qel::ContactActions> actions;
};

using qeltest::HttpServer;

} // namespace actionstest
