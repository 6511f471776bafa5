#include "frmHelp.h"

#include "core/Named.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace qel {

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Instructions and Help"));
    auto* layout = new QVBoxLayout(this);
    RichTextBox1 = named(new QTextBrowser(this), QStringLiteral("RichTextBox1"));
    RichTextBox1->setOpenExternalLinks(true);
    layout->addWidget(RichTextBox1);
    resize(640, 520);
}

void frmHelp::load(const QString& file) {
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile() || !info.isReadable())
        return;
    RichTextBox1->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace qel
