#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "FileSizeLimit.h"
#include "GuiTestSupport.h"
#include "TextFile.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

QStringList filesOf(const QString& folder) {
    QStringList files;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        files << file.fileName() + u'=' +
                     QString::fromLatin1(readWholeFile(file.filePath(), 4096).bytes);
    }
    return files;
}

// What a user did on a full disk (issue: RaceLag.dat emptied by Exit, LapdeckPorts.dat
// by Settings OK): the save is told, naming its file, and every old file stays whole.
TEST(DiskFaults, ASaveOnAFullDiskIsToldAndKeepsTheOldFiles) {
    const std::function<void(frmLapdeck&)> saves[] = {
        [](frmLapdeck& w) {
            w.lblLag_Click();  // a new choice to keep
            w.close();
        },
        [](frmLapdeck& w) {
            onModal<frmVx9SettingsNew>(
                [](frmVx9SettingsNew& d) {
                    d.txtPortDevice->setText(u"/dev/ttyUSB7"_s);
                    d.cmdOk->click();
                },
                [&]() { w.mnuSettings->trigger(); });
        },
    };
    for (const auto& save : saves) {
        DataFolder data;
        WindowRig rig(data);
        rig.window->portMap().choose(1, u"/dev/ttyUSB0"_s);
        ASSERT_FALSE(rig.window->portMap().save());
        const QStringList before = filesOf(data.dir.path());
        {
            FileSizeLimit full(4);
            save(*rig.window);
        }
        EXPECT_EQ(filesOf(data.dir.path()), before);
        ASSERT_EQ(rig.prompter.prompts.size(), 1u) << rig.prompter.shown();
        EXPECT_TRUE(rig.prompter.prompts[0].text.contains(u": cannot be written: "_s))
            << rig.prompter.shown();
    }
}

}  // namespace
}  // namespace lapdeck::test
