#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "LapdeckApp.h"
#include "MeasureHook.h"
#include "frmLapdeck.h"

// lapdeck-measure SECONDS [--sound]: the program as it starts for a user, but
// running a six-car demo race at once and printing what scripts/measure.sh reports.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lapdeck"));
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    const bool sound = argc > 2 && QString::fromLocal8Bit(argv[2]) == u"--sound";
    if (seconds <= 0 || argc > 3 || (argc == 3 && !sound)) {
        std::fprintf(stderr, "usage: lapdeck-measure SECONDS [--sound]\n");
        return 2;
    }
    lapdeck::LapdeckApp lapdeck;
    lapdeck::MeasureHook measure(lapdeck.window(), lapdeck.state(), seconds, sound);
    lapdeck.window().show();
    QTimer::singleShot(0, &lapdeck.window(), [&measure]() {
        measure.windowShown();
        measure.startRace();
    });
    return app.exec();
}
