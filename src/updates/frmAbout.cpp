#include "frmAbout.h"

#include "VersionPage.h"
#include "core/Named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace qel {

namespace {

struct Library {
    const char* name;
    const char* use;
    const char* licence;
};

// Every library the program links, and what it does for it.
constexpr Library kLibraries[] = {
    {"Qt 6", "windows, dialogs, the tray, printing, sounds and HTTP", "GNU LGPL version 3"},
    {"SQLite", "the contact store and the exchange file", "public domain"},
    {"SQLiteCpp", "the C++ interface to SQLite", "MIT licence"},
    {"libcurl", "the FTP client of the sync", "curl licence (MIT/X style)"},
    {"OpenSSL", "encrypted connections (HTTPS, FTPS), through Qt and libcurl", "Apache License 2.0"},
    {"Xlib and XCB", "the global hot keys", "MIT/X11 licence"},
    {"libical", "the iCalendar files of the calendar and the QEL Days",
     "Mozilla Public License 2.0 or LGPL 2.1"},
    {"QtKeychain", "the passwords kept in the desktop's keyring", "BSD 3-clause licence"},
};

} // namespace

QString frmAbout::acknowledgement() {
    QString text = QStringLiteral("<p>Vantrel is a fast contact viewer: a card file of your contacts with "
                                  "special days, reminders, calls, text messages and a sync between "
                                  "computers.</p><p>It is built on these libraries, with thanks to their "
                                  "authors:</p><ul>");
    for (const Library& library : kLibraries)
        text +=
            QStringLiteral("<li><b>%1</b> (%2): %3.</li>")
                .arg(QLatin1String(library.name), QLatin1String(library.licence), QLatin1String(library.use));
    text += QStringLiteral("</ul><p>Each library keeps its own licence; the texts come with the libraries "
                           "as your system installed them.</p>");
    return text;
}

frmAbout::frmAbout(const ProgramVersion& version, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vantrel"));
    auto* layout = new QVBoxLayout(this);
    auto* title = named(new QLabel(QStringLiteral("Vantrel"), this), QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    lblVersion = named(new QLabel(QStringLiteral("Vantrel Version ") + version.text(), this),
                       QStringLiteral("lblVersion"));
    layout->addWidget(lblVersion);
    txtAcknowledge = named(new QTextBrowser(this), QStringLiteral("txtAcknowledge"));
    txtAcknowledge->setHtml(acknowledgement());
    txtAcknowledge->setMinimumSize(460, 240);
    layout->addWidget(txtAcknowledge);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons);
}

} // namespace qel
