#pragma once

// "About Vantrel": the program's version and the acknowledgement of the libraries it is built on
// and their licences.

#include <QDialog>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace qel {

struct ProgramVersion;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const ProgramVersion& version, QWidget* parent = nullptr);

    QLabel* lblVersion;           // "Vantrel Version 5.6.0"
    QTextBrowser* txtAcknowledge; // the libraries and their licences
    QPushButton* cmdOK;

    // The acknowledgement shown (HTML).
    static QString acknowledgement();
};

} // namespace qel
