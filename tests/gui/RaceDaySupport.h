#pragma once

#include <functional>

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include "FileChooser.h"
#include "GuiTestSupport.h"
#include "frmSummary.h"
#include "frmViewLaps.h"

namespace lapdeck::test {

// Runs the event loop (race timer, port, reopening) until `done` or `ms` of real
// time, sleeping between events as the program does; true when done.
inline bool runUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// Results windows used as the organiser does, noting which were shown: each window
// saves under the names in `saveAs` (both forms), the lap table goes on to the
// summary; Open Race takes `opened`.
class OrganiserWindows : public FileChooser {
public:
    QStringList saveAs;
    QString opened;
    QStringList shown;

    QString saveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return saveAs.isEmpty() ? QString() : saveAs.takeFirst();
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return opened; }

    std::function<void(LapdeckServices&)> services() {
        return [this](LapdeckServices& window) {
            window.results.files = this;
            window.results.runModal = [this](QDialog& w) {
                shown << QString::fromLatin1(w.metaObject()->className());
                if (auto* laps = qobject_cast<frmViewLaps*>(&w); laps && !saveAs.isEmpty()) {
                    laps->cmdSave_Click();
                    laps->cmdSave_Click();
                    laps->cmdSummary_Click();
                } else if (auto* summary = qobject_cast<frmSummary*>(&w)) {
                    summary->cmdSave_Click();
                    summary->cmdSave_Click();
                }
            };
        };
    }
};

}  // namespace lapdeck::test
