#include <gtest/gtest.h>

#include <QAction>

#include "FileSizeLimit.h"
#include "GuiTestSupport.h"
#include "TextFile.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

QByteArray bytesOf(const QString& path) {
    return readWholeFile(path, 4096).bytes;
}

// What a user did on a full disk (issue: RaceLag.dat emptied by Exit, LapdeckPorts.dat
// by Settings OK): each save is told, naming its file, and the old file stays whole.
TEST(DiskFaults, ASaveOnAFullDiskIsToldAndKeepsTheOldFile) {
    struct Case {
        QString file;
        std::function<void(frmLapdeck&)> save;
    };
    const Case cases[] = {
        {u"RaceLag.dat"_s,
         [](frmLapdeck& w) {
             w.lblLag_Click();  // a new choice to keep
             w.close();
         }},
        {PortMap::kFileName, [](frmLapdeck& w) { w.mnuSettings->trigger(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        DataFolder data;
        ScriptedPrompter prompter;
        RaceState state;
        LapdeckServices services;
        services.prompter = &prompter;
        services.choosePort = [](int& port, PortDevices& chosen) {
            port = 3;
            chosen[3] = u"/dev/ttyUSB7"_s;
            return true;
        };
        frmLapdeck w(state, data.store, services);
        w.portMap().choose(2, u"/dev/ttyUSB0"_s);
        ASSERT_FALSE(w.portMap().save());
        const QByteArray before = bytesOf(data.path(c.file));
        {
            FileSizeLimit full(4);
            c.save(w);
        }
        EXPECT_EQ(bytesOf(data.path(c.file)), before);
        ASSERT_EQ(prompter.calls.size(), 1u);
        EXPECT_TRUE(prompter.calls[0].text.contains(data.path(c.file) + u": cannot be written"_s))
            << prompter.calls[0].text.toStdString();
    }
}

}  // namespace
}  // namespace lapdeck::test
