// The production keyring (QtKeychain) against a real secret service, and without one. CTest runs
// this twice: on a private session bus with gnome-keyring (with_secret_service.sh sets
// QEL_SECRET_SERVICE=running), and with no session bus at all (QEL_SECRET_SERVICE unset).

#include "core/Passwords.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "platform/QtKeychainKeyring.h"
#include "support/SettingsFixture.h"

#include <QElapsedTimer>

using namespace qel;

namespace {

bool serviceRunning() {
    return qgetenv("QEL_SECRET_SERVICE") == "running";
}

// Installs the production keyring for a scope.
struct ProductionKeyring {
    QtKeychainKeyring keyring;
    Keyring* previous = setKeyring(&keyring);
    ~ProductionKeyring() { setKeyring(previous); }
};

} // namespace

class TestSecretService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qeltest::freshSettings(QStringLiteral("secrets")); }
    void cleanupTestCase() { setSettingsFile(QString()); }

    void secretsRoundTripOnlyWhereAServiceRuns() {
        QtKeychainKeyring keyring;
        const QString name = QStringLiteral("test/Round trip");
        const QString secret = QStringLiteral("pä55 wörd ✓");
        QString read = QStringLiteral("untouched");
        if (!serviceRunning()) {
            QVERIFY(!QtKeychainKeyring::sessionBusPresent());
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!keyring.write(name, secret));
            QCOMPARE(keyring.read(name, read), Keyring::Status::Unavailable);
            QCOMPARE(read, QStringLiteral("untouched"));
            QVERIFY(clock.elapsed() < 1000); // no bus is looked for, none started
            return;
        }
        QVERIFY(QtKeychainKeyring::sessionBusPresent());
        QCOMPARE(keyring.read(name, read), Keyring::Status::NotFound);
        QVERIFY(keyring.write(name, secret));
        QCOMPARE(keyring.read(name, read), Keyring::Status::Found);
        QCOMPARE(read, secret);
        // A second keyring object (another run) sees it.
        QtKeychainKeyring other;
        QString again;
        QCOMPARE(other.read(name, again), Keyring::Status::Found);
        QCOMPARE(again, secret);
        QVERIFY(keyring.remove(name));
        QCOMPARE(keyring.read(name, read), Keyring::Status::NotFound);
        QVERIFY(keyring.remove(name)); // nothing there is no failure
    }

    void theSettingsPasswordsFollowTheService() {
        const ProductionKeyring production;
        SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Olvex"),
                    scramblePassword(QStringLiteral("ftp secret")));
        SettingsModel m;
        m.load();
        QCOMPARE(m.password, QStringLiteral("ftp secret"));
        m.voipPassword = QStringLiteral("voip secret");
        QCOMPARE(m.save(), QString());
        const QByteArray bytes = qeltest::settingsBytes();
        if (serviceRunning()) {
            QVERIFY2(bytes.contains("Olvex=\n") && bytes.contains("Pardine=\n"), bytes.constData());
        } else {
            QCOMPARE(GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Olvex")),
                     scramblePassword(QStringLiteral("ftp secret")));
            QCOMPARE(GetSetting(QStringLiteral("VOIP"), QStringLiteral("Pardine")),
                     scramblePassword(QStringLiteral("voip secret")));
        }
        SettingsModel again;
        again.load();
        QCOMPARE(again.password, QStringLiteral("ftp secret"));
        QCOMPARE(again.voipPassword, QStringLiteral("voip secret"));
        // Cleared, the keyring holds them no more.
        again.password.clear();
        again.voipPassword.clear();
        QCOMPARE(again.save(), QString());
        QString left;
        QVERIFY(keyring().read(QStringLiteral("OutlookDataSync/Olvex"), left) != Keyring::Status::Found);
        QVERIFY(keyring().read(QStringLiteral("VOIP/Pardine"), left) != Keyring::Status::Found);
    }
};

QEL_TEST_MAIN(TestSecretService)
#include "test_secret_service.moc"
