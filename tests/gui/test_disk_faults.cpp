#include <gtest/gtest.h>

#include "FileSizeLimit.h"
#include "GuiTestSupport.h"
#include "TextFile.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

QByteArray bytesOf(const QString& path) {
    return readWholeFile(path, 4096).bytes;
}

// What a user did on a full disk (issue: RaceLag.dat emptied by Exit): the save is
// told, naming its file, and the old file stays whole.
TEST(DiskFaults, ASaveOnAFullDiskIsToldAndKeepsTheOldFile) {
    DataFolder data;
    WindowRig rig(data);
    const QString lag = data.path(FileNames::raceLag);
    const QByteArray before = bytesOf(lag);
    {
        FileSizeLimit full(4);
        rig.window->lblLag_Click();  // a new choice to keep
        rig.window->close();
    }
    EXPECT_EQ(bytesOf(lag), before);
    ASSERT_EQ(rig.prompter.prompts.size(), 1u);
    EXPECT_TRUE(rig.prompter.prompts[0].text.contains(lag + u": cannot be written"_s))
        << rig.prompter.shown();
}

}  // namespace
}  // namespace lapdeck::test
