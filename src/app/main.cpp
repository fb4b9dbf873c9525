#include <cstdio>

#include <QApplication>
#include <QTextStream>

#include "CommandLine.h"
#include "LapdeckApp.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QTextStream out(stdout);
    if (const auto status = lapdeck::answerCommandLine(arguments, out)) {
        return *status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lapdeck"));
    QApplication::setApplicationVersion(QStringLiteral(LAPDECK_VERSION));
    return lapdeck::runLapdeck(app);
}
