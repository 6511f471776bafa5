#pragma once

// "Instructions and Help", the welcome window: the manual's first page, whose links lead on
// through the manual inside the window (links to the web go to the default browser).

#include <QWidget>

class QTextBrowser;

namespace qel {

class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Shows the page of `file`; a missing or unreadable file leaves the box empty.
    void load(const QString& file);

    QTextBrowser* RichTextBox1;
};

} // namespace qel
