// QEL --sync runs the CardDAV sync when it is on, without a window: the real program against a
// real server on 127.0.0.1, the FTP sync off.

#include "DavTesting.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "support/HeadlessSync.h"

#include <QDir>
#include <QTemporaryDir>

#ifndef QEL_PROGRAM
#error "QEL_PROGRAM names the program under test"
#endif

class DavCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;
    QString path(const QString& name) const { return mHome.filePath(name); }

private Q_SLOTS:
    void syncRunsTheCardDavSync() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        for (const char* folder : {"program", "stores", "config/QEL", "data"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        qel::setSettingsFile(path(QStringLiteral("config/QEL/QEL.ini")));
        qel::SettingsModel settings;
        settings.load();
        settings.sync = false;
        settings.davSync = true;
        settings.davServer = server.base().toString();
        settings.davUser = server.user();
        settings.davPassword = server.password();
        settings.davAddressBook = server.addressBook().toString();
        QCOMPARE(settings.save(), QString());
        qel::setSettingsFile(QString());
        davtest::Device device(QStringLiteral("cmd"));
        device.storeDir = path(QStringLiteral("stores"));
        device.add({QStringLiteral("Anna Berg"), QStringLiteral("Bert Car")}, QStringLiteral("111"));

        const qeltest::HeadlessOutcome run =
            qeltest::runHeadlessSync(QStringLiteral(QEL_PROGRAM), mHome.path());
        const QString& out = run.out;
        const QString& err = run.err;
        QVERIFY2(run.exitCode == 0, qPrintable(out + err));
        QVERIFY2(out.contains(QStringLiteral("CardDAV: 2 new on the server.")), qPrintable(out));
        QVERIFY(!out.contains(server.password()) && !err.contains(server.password()));
        davtest::Remote remote(server);
        QCOMPARE(remote.cards(),
                 (QMap<QString, QString>{{QStringLiteral("Anna Berg"), QStringLiteral("111")},
                                         {QStringLiteral("Bert Car"), QStringLiteral("111")}}));
    }
};

QEL_TEST_MAIN(DavCommandTest)
#include "test_dav_command.moc"
