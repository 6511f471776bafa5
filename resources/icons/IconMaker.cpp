// Writes the program's icon into a hicolor icon theme folder: OUT/<N>x<N>/apps/vantrel.png for
// each size the desktop asks of an application icon. Run at build time (offscreen).

#include "platform/TrayIcons.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: IconMaker HICOLOR_FOLDER\n");
        return 2;
    }
    const QIcon icon = qel::icons::programIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = folder + QStringLiteral("/vantrel.png");
        const QPixmap picture = icon.pixmap(size, size);
        if (!QDir().mkpath(folder) || picture.size() != QSize(size, size) || !picture.save(file, "PNG")) {
            std::fprintf(stderr, "IconMaker: could not write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
