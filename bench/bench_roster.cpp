// Start-up with a club's whole roster: the main window loads and fills its six
// name lists, and a name list opens. Runs offscreen.
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QTemporaryDir>

#include "ConfigStore.h"
#include "EngineStubs.h"
#include "NamePicker.h"
#include "NameSelection.h"
#include "ProgramFiles.h"
#include "ProgramServices.h"
#include "RaceState.h"
#include "frmLapdeck.h"

namespace {

// Names that do not come in order, some accented, as a roster grows over years.
QStringList roster(int size) {
    static const QStringList first{QStringLiteral("Ann"),       QStringLiteral("\u00c9mile"),
                                   QStringLiteral("Bob"),       QStringLiteral("Zoe"),
                                   QStringLiteral("\u00d6zil"), QStringLiteral("Dee")};
    QStringList names;
    names.reserve(size);
    for (int i = 0; i < size; ++i) {
        const int scrambled = (i * 7919) % size;
        names.append(first[i % first.size()] + QStringLiteral(" Member ") +
                     QString::number(scrambled));
    }
    return names;
}

struct Club {
    explicit Club(int size) {
        store.seedMissingFiles();
        lapdeck::saveRoster(store.path(lapdeck::FileNames::roster), roster(size));
    }
    QTemporaryDir dir;
    lapdeck::ConfigStore store{dir.path()};
};

// The main window loaded, with the program's services but for the prompter.
struct Loaded {
    std::unique_ptr<lapdeck::ProgramServices> services;
    std::unique_ptr<lapdeck::frmLapdeck> window;
};

Loaded load(Club& club, lapdeck::RaceState& state, lapdeck::stubs::YesPrompter& prompter) {
    lapdeck::LapdeckServices given;
    given.prompter = &prompter;
    Loaded loaded;
    loaded.services = std::make_unique<lapdeck::ProgramServices>(given, club.store.folder());
    loaded.window =
        std::make_unique<lapdeck::frmLapdeck>(state, club.store, loaded.services->services());
    loaded.window->show();
    QCoreApplication::processEvents();
    return loaded;
}

void BM_StartUp(benchmark::State& bench) {
    Club club(static_cast<int>(bench.range(0)));
    lapdeck::stubs::YesPrompter prompter;
    for (auto _ : bench) {
        lapdeck::RaceState state;
        const Loaded loaded = load(club, state, prompter);
        benchmark::DoNotOptimize(loaded.window->Select_Name[6]->count());
    }
}
// 50,000 names is a roster file of about 1 MiB.
BENCHMARK(BM_StartUp)->Arg(2000)->Arg(5000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_OpenNameList(benchmark::State& bench) {
    Club club(10000);
    lapdeck::stubs::YesPrompter prompter;
    lapdeck::RaceState state;
    const Loaded loaded = load(club, state, prompter);
    lapdeck::frmLapdeck* window = loaded.window.get();
    for (auto _ : bench) {
        window->names().lblName_Click(3);
        QCoreApplication::processEvents();
        window->Select_Name[3]->hidePopup();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenNameList)->Unit(benchmark::kMillisecond);

}  // namespace
