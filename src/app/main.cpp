#include <QApplication>
#include <QMessageBox>
#include <QTextStream>

#include "CommandLine.h"
#include "LapdeckApp.h"
#include "SingleInstance.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (const auto status = lapdeck::answerCommandLine(arguments, out, err)) {
        return *status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lapdeck"));
    QApplication::setApplicationVersion(QStringLiteral(LAPDECK_VERSION));
    // Before anything reads or writes the folder: a second Lapdeck on it would
    // seed, open the port and offer the first one's running race for recovery.
    const QString folder = lapdeck::findDataFolder();
    lapdeck::SingleInstance instance(folder);
    if (!instance.claim()) {
        QTextStream(stderr) << instance.refusal() << '\n';
        QMessageBox::information(nullptr, QApplication::applicationName(), instance.refusal());
        return 1;
    }
    return lapdeck::runLapdeck(app, folder, instance, lapdeck::runChoices(arguments));
}
