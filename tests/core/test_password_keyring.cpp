// The passwords between the settings file and the keyring: the keyring takes them when it answers
// (the file then empty), the scrambled form stays without one, and no way between the two loses a
// password: a scrambled one moves in on the first save, a refused write keeps it scrambled, and a
// keyring that did not answer at the load keeps what it holds.

#include "core/Passwords.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "support/FakeKeyring.h"
#include "support/SettingsFixture.h"

#include <memory>

using namespace qel;

namespace {

const QString kSync = QStringLiteral("OutlookDataSync");
const QString kVoip = QStringLiteral("VOIP");
const QString kFtpName = QStringLiteral("OutlookDataSync/Olvex");
const QString kVoipName = QStringLiteral("VOIP/Pardine");

QString fileValue(const QString& section, const QString& key) {
    return GetSetting(section, key);
}

// A model freshly loaded from the store (a new run).
std::unique_ptr<SettingsModel> loaded() {
    auto m = std::make_unique<SettingsModel>();
    m->load();
    return m;
}

} // namespace

class TestPasswordKeyring : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qeltest::freshSettings(QStringLiteral("keyring")); }
    void cleanupTestCase() { setSettingsFile(QString()); }

    void withoutAKeyringTheFileKeepsTheScrambledForm() {
        qeltest::FakeKeyring keyring;
        keyring.available = false;
        SettingsModel m;
        m.load();
        m.password = QStringLiteral("abc");
        m.voipPassword = QStringLiteral("xyz");
        m.davPassword = QStringLiteral("dav:pw");
        QCOMPARE(m.save(), QString());
        QCOMPARE(fileValue(QStringLiteral("CardDAV"), QStringLiteral("Password")),
                 scramblePassword(QStringLiteral("dav:pw")));
        QCOMPARE(loaded()->davPassword, QStringLiteral("dav:pw"));
        QCOMPARE(fileValue(kSync, QStringLiteral("Olvex")), QStringLiteral("klm"));
        QCOMPARE(fileValue(kVoip, QStringLiteral("Pardine")), scramblePassword(QStringLiteral("xyz")));
        QCOMPARE(loaded()->password, QStringLiteral("abc"));
        QCOMPARE(loaded()->voipPassword, QStringLiteral("xyz"));
    }

    void aScrambledPasswordMovesIntoTheKeyringOnTheFirstSave() {
        // A file as a run without a keyring left it.
        SaveSetting(kSync, QStringLiteral("Olvex"), scramblePassword(QStringLiteral("ftp pass")));
        SaveSetting(kVoip, QStringLiteral("Pardine"), scramblePassword(QStringLiteral("voip pass")));
        qeltest::FakeKeyring keyring;
        SettingsModel m;
        m.load();
        QCOMPARE(m.password, QStringLiteral("ftp pass"));
        QVERIFY(keyring.secrets.isEmpty()); // a load moves nothing
        m.davPassword = QStringLiteral("dav pass");
        QCOMPARE(m.save(), QString());
        QCOMPARE(keyring.secrets.value(QStringLiteral("CardDAV/Password")), QStringLiteral("dav pass"));
        QVERIFY(qeltest::settingsBytes().contains("\nPassword=\n"));
        QCOMPARE(keyring.secrets.value(kFtpName), QStringLiteral("ftp pass"));
        QCOMPARE(keyring.secrets.value(kVoipName), QStringLiteral("voip pass"));
        const QByteArray bytes = qeltest::settingsBytes();
        QVERIFY(bytes.contains("Olvex=\n") && bytes.contains("Pardine=\n"));
        QVERIFY(!bytes.contains(scramblePassword(QStringLiteral("ftp pass")).toUtf8()));
        QCOMPARE(loaded()->password, QStringLiteral("ftp pass"));
        QCOMPARE(loaded()->voipPassword, QStringLiteral("voip pass"));

        // Cleared by the user: gone from the keyring too.
        m.voipPassword.clear();
        QCOMPARE(m.save(), QString());
        QVERIFY(!keyring.secrets.contains(kVoipName));
        QCOMPARE(loaded()->voipPassword, QString());
        QCOMPARE(loaded()->password, QStringLiteral("ftp pass"));
    }

    void aRefusedWriteKeepsTheScrambledValue() {
        SaveSetting(kSync, QStringLiteral("Olvex"), scramblePassword(QStringLiteral("old")));
        qeltest::FakeKeyring keyring;
        keyring.refuseWrites = true;
        SettingsModel m;
        m.load();
        QCOMPARE(m.save(), QString());
        QCOMPARE(fileValue(kSync, QStringLiteral("Olvex")), scramblePassword(QStringLiteral("old")));
        m.password = QStringLiteral("new");
        QCOMPARE(m.save(), QString());
        QCOMPARE(fileValue(kSync, QStringLiteral("Olvex")), scramblePassword(QStringLiteral("new")));
        QVERIFY(keyring.secrets.isEmpty());
        QCOMPARE(loaded()->password, QStringLiteral("new"));
        // Once the keyring takes it, it moves in.
        keyring.refuseWrites = false;
        QCOMPARE(loaded()->save(), QString());
        QCOMPARE(keyring.secrets.value(kFtpName), QStringLiteral("new"));
        QCOMPARE(fileValue(kSync, QStringLiteral("Olvex")), QString());
    }

    void aKeyringAwayForARunLosesNothing() {
        qeltest::FakeKeyring keyring;
        SettingsModel m;
        m.load();
        m.password = QStringLiteral("kept");
        m.voipPassword = QStringLiteral("voip");
        QCOMPARE(m.save(), QString());
        QCOMPARE(fileValue(kSync, QStringLiteral("Olvex")), QString());

        // A run without the secret service: the passwords read empty, and a save of the other
        // settings neither clears them from the keyring nor puts an empty one in their place.
        keyring.available = false;
        const auto away = loaded();
        QCOMPARE(away->password, QString());
        away->confirmExit = true;
        away->voipPassword = QStringLiteral("typed meanwhile"); // a password typed in that run wins
        QCOMPARE(away->save(), QString());
        QCOMPARE(fileValue(kVoip, QStringLiteral("Pardine")),
                 scramblePassword(QStringLiteral("typed meanwhile")));

        keyring.available = true;
        const auto back = loaded();
        QCOMPARE(back->password, QStringLiteral("kept"));
        QCOMPARE(back->voipPassword, QStringLiteral("typed meanwhile"));
        QVERIFY(back->confirmExit);
        QCOMPARE(back->save(), QString());
        QCOMPARE(keyring.secrets.value(kVoipName), QStringLiteral("typed meanwhile"));
        QCOMPARE(fileValue(kVoip, QStringLiteral("Pardine")), QString());
    }
};

QEL_TEST_MAIN(TestPasswordKeyring)
#include "test_password_keyring.moc"
