// QELUpdater: copies the new program files from its own folder into the installed program's folder
// and starts the updated program. Run it from the folder the update package was unpacked into.

#include "Updater.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace {

class MessageBoxes : public qelupdater::UpdaterUi {
public:
    void message(const QString& text) override {
        QMessageBox::information(nullptr, QStringLiteral("QEL Updater"), text);
    }
    bool ask(const QString& text) override {
        return QMessageBox::question(nullptr, QStringLiteral("QEL Updater"), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    int exec(QDialog& dialog) override { return dialog.exec(); }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QELUpdater"));
    MessageBoxes ui;
    qelupdater::Updater updater(ui, QApplication::applicationDirPath(),
                                qelupdater::Updater::defaultInstallFolders(),
                                qelupdater::Updater::defaultLockPath());
    return updater.run();
}
