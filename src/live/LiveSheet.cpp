#include "LiveSheet.h"

namespace lapdeck {
namespace {

constexpr int kQuietModules = 4;

PrintLine text(int points, const QString& words) {
    PrintLine line;
    line.points = points;
    line.items.push_back(PrintItem{1, words});
    return line;
}

}  // namespace

Printout liveSheet(const QString& url, const QrMatrix& code) {
    Printout sheet;
    sheet.documentName = QStringLiteral("Live Results");
    sheet.lines.push_back(text(36, QStringLiteral("Live results")));
    sheet.lines.push_back(text(16, QStringLiteral("The race as it runs, and today's results,")));
    sheet.lines.push_back(
        text(16, QStringLiteral("on your phone: scan the code with its camera.")));
    sheet.lines.push_back(PrintLine{});

    PrintLine picture;
    const int side = code.size + 2 * kQuietModules;
    picture.picture.size = side;
    picture.picture.widthMm = kLiveSheetCodeMm;
    picture.picture.dark.resize(static_cast<size_t>(side) * static_cast<size_t>(side));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            picture.picture.dark[static_cast<size_t>(y * side + x)] =
                code.isDark(x - kQuietModules, y - kQuietModules);
        }
    }
    sheet.lines.push_back(std::move(picture));

    sheet.lines.push_back(PrintLine{});
    sheet.lines.push_back(text(16, QStringLiteral("Or type this address into the browser:")));
    sheet.lines.push_back(text(28, url));
    sheet.lines.push_back(PrintLine{});
    sheet.lines.push_back(
        text(12, QStringLiteral("Connect to the club's network first; no internet is needed.")));
    sheet.lines.push_back(text(12, QStringLiteral("The page only shows: nothing on it can change "
                                                  "the race.")));
    return sheet;
}

}  // namespace lapdeck
