#include "StoreTool.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    QStringList args;
    QString error;
    int status = 2;
    if (qel::decodeArguments(argc, argv, args, error))
        status = qel::runStoreTool(args, out, err);
    else
        err << "qel-store: " << error << '\n';
    out.flush();
    err.flush();
    return status;
}
