#include <cstdio>

#include <QApplication>
#include <QDateTime>
#include <QTimer>

#include "LapdeckApp.h"
#include "LiveResults.h"
#include "MeasureHook.h"
#include "RaceState.h"
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
    lapdeck::LapdeckApp lapdeck(lapdeck::findDataFolder());
    lapdeck::MeasureHook measure(lapdeck.window(), lapdeck.state(), seconds, sound);
    // LAPDECK_MEASURE_LIVE=1: the race is served as live results on 127.0.0.1 too, read
    // after every tick; prints the port, and the laps column as the screen shows it
    // whenever it changes, with the time, for the page's delay.
    lapdeck::LiveResults& live = lapdeck.live();
    if (qEnvironmentVariableIntValue("LAPDECK_MEASURE_LIVE") != 0) {
        if (live.start(0, QHostAddress::LocalHost)) {
            return 1;
        }
        std::printf("live_port=%d\n", live.port());
        std::fflush(stdout);
        QObject::connect(&lapdeck.window(), &lapdeck::frmLapdeck::ticked, &live,
                         [&live, &state = lapdeck.state(), shown = QString()]() mutable {
                             live.publish();
                             QStringList laps;
                             for (int r = 1; r <= lapdeck::kFlags; ++r) {
                                 laps << state.screen.row[r].lapNum.trimmed();
                             }
                             if (laps.join(u',') != shown) {
                                 shown = laps.join(u',');
                                 std::printf("laps_at_ms=%lld %s\n",
                                             QDateTime::currentMSecsSinceEpoch(),
                                             qPrintable(shown));
                                 std::fflush(stdout);
                             }
                         });
    }
    lapdeck.window().show();
    QTimer::singleShot(0, &lapdeck.window(), [&measure]() {
        measure.windowShown();
        measure.startRace();
    });
    return app.exec();
}
