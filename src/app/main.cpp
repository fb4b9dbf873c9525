#include <QApplication>

#include "LapdeckApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lapdeck"));
    return lapdeck::runLapdeck(app);
}
