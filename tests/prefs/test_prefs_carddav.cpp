// The "CardDAV / CalDAV" tab against a real server: discovery fills the lists, OK stores the
// choice (the password never in clear in the settings file), a later dialog shows it again, and a
// refused login is said in a message that does not show the password.

#include "PrefsTesting.h"
#include "core/SettingsModel.h"
#include "prefs/frmPrefs.h"
#include "support/DavServer.h"
#include "support/SeamScope.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using qel::frmPrefs;
using qel::GetSetting;

class PrefsCardDavTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { prefstest::freshSettings(QStringLiteral("carddav")); }

    void discoveryChoiceAndOk() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        qeltest::SeamScope seams;
        {
            frmPrefs prefs;
            QVERIFY(!prefs.cmdDavFind->isEnabled()); // off: the tab's controls wait
            prefs.chkDavSync->setChecked(true);
            QVERIFY(prefs.cmdDavFind->isEnabled());
            prefs.txtDavServer->setText(server.base().toString());
            prefs.txtDavUser->setText(server.user());

            prefs.txtDavPassword->setText(QStringLiteral("not-it"));
            seams.dialogs.expectMessage(QStringLiteral("user name or password"));
            prefs.cmdDavFind->click();
            QVERIFY(seams.dialogs.verify());
            QVERIFY(!seams.dialogs.prompts().last().text.contains(QStringLiteral("not-it")));
            QCOMPARE(prefs.cmbDavAddressBook->count(), 0);

            prefs.txtDavPassword->setText(server.password());
            prefs.cmdDavFind->click();
            QCOMPARE(prefs.cmbDavAddressBook->count(), 1);
            QCOMPARE(prefs.cmbDavAddressBook->currentText(), QStringLiteral("Contacts"));
            QCOMPARE(prefs.cmbDavCalendar->currentText(), QStringLiteral("Calendar"));
            prefs.txtDavContactFolder->setText(QStringLiteral("Personal Folders\\Contacts"));
            prefs.chkDavPublish->setChecked(true);
            prefs.cmdOK->click();
            QCOMPARE(prefs.result(), int(QDialog::Accepted));
        }
        QCOMPARE(GetSetting("CardDAV", "DavSync"), QStringLiteral("Yes"));
        QCOMPARE(GetSetting("CardDAV", "AddressBook"), server.addressBook().toString());
        QCOMPARE(GetSetting("CardDAV", "CalendarAddress"), server.calendar().toString());
        QCOMPARE(GetSetting("CardDAV", "PublishQELDays"), QStringLiteral("Yes"));
        QVERIFY(!prefstest::settingsBytes().contains(server.password().toUtf8()));
        qel::SettingsModel model;
        model.load();
        QCOMPARE(model.davPassword, server.password());

        frmPrefs again;
        QVERIFY(again.chkDavSync->isChecked());
        QCOMPARE(again.cmbDavAddressBook->currentData().toString(), server.addressBook().toString());
        QCOMPARE(again.txtDavContactFolder->text(), QStringLiteral("Personal Folders\\Contacts"));
    }
};

QEL_TEST_MAIN(PrefsCardDavTest)
#include "test_prefs_carddav.moc"
