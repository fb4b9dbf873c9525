#include "MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace lapdeck {

void MainMenus::buildMenus(QMenuBar* bar) {
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [](QMenu* m, const char* name, const QString& caption) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuOpen = item(mnuFile, "mnuOpen", QStringLiteral("&Open"));
    mnuOpenRace = item(mnuFile, "mnuOpenRace", QStringLiteral("Open &Race..."));
    mnuMeeting = item(mnuFile, "mnuMeeting", QStringLiteral("&Meeting…"));
    mnuExit = item(mnuFile, "mnuExit", QStringLiteral("E&xit"));
    mnuRaceFormat = menu("mnuRaceFormat", QStringLiteral("R&ace Format"));
    mnuRace = item(mnuRaceFormat, "mnuRace", QStringLiteral("Race Format"));
    mnuViewData = menu("mnuViewData", QStringLiteral("&View Data"));
    mnuLapTimes = item(mnuViewData, "mnuLapTimes", QStringLiteral("Lap Times"));
    mnuSummary = item(mnuViewData, "mnuSummary", QStringLiteral("Summary"));
    mnuRacer = menu("mnuRacer", QStringLiteral("&Racers"));
    mnuAddRacer = item(mnuRacer, "mnuAddRacer", QStringLiteral("Racers"));
    mnuSound = bar->addAction(QStringLiteral("S&ound"));
    mnuSound->setObjectName(QStringLiteral("mnuSound"));
    mnuRaceSetting = menu("mnuRaceSetting", QStringLiteral("&Settings"));
    mnuSettings = item(mnuRaceSetting, "mnuSettings", QStringLiteral("Settings"));
    mnuLiveResults = item(mnuRaceSetting, "mnuLiveResults", QStringLiteral("&Live Results..."));
    mnuHelp = menu("mnuHelp", QStringLiteral("&Help"));
    mnuHelpContent = item(mnuHelp, "mnuHelpContent", QStringLiteral("Help"));
    mnuHelpContent->setShortcut(QKeySequence::HelpContents);
    mnuDiagnostic = item(mnuHelp, "mnuDiagnostic", QStringLiteral("Diagnostic..."));
    mnuHelp->addSeparator();
    mnuWebSite = item(mnuHelp, "mnuWebSite", QStringLiteral("Lapvane Web site..."));
    mnuAbout = item(mnuHelp, "mnuAbout", QStringLiteral("About..."));
}

void MainMenus::followPhase(RacePhase phase) {
    const bool idle = phase == RacePhase::Idle;
    const bool paused = phase == RacePhase::Paused;
    const bool over = phase == RacePhase::Over;
    mnuFile->menuAction()->setEnabled(idle || over);
    mnuRaceFormat->menuAction()->setEnabled(idle);
    mnuViewData->menuAction()->setEnabled(paused || over);
    mnuRacer->menuAction()->setEnabled(idle);
    mnuSound->setEnabled(idle);
    mnuRaceSetting->menuAction()->setEnabled(idle || paused);
    mnuHelp->menuAction()->setEnabled(idle || over);
    mnuHelpContent->setEnabled(idle || over);
}

}  // namespace lapdeck
