#include "ShellOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>

namespace lapdeck {

void DesktopShellOpener::open(const QUrl& url, QObject* context, std::function<void()> failed) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt counts xdg-open started as opened, but xdg-open gives up when the desktop
    // has no browser: its exit status tells. The process is the application's, so
    // closing the window that asked does not stop a browser being started.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, context,
                     [failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) {
                             failed();
                         }
                     });
    QObject::connect(process, &QProcess::errorOccurred, context,
                     [failed](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) {
                             failed();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) {
                             process->deleteLater();
                         }
                     });
    process->start(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
#else
    (void)context;
    if (!QDesktopServices::openUrl(url)) {
        failed();
    }
#endif
}

}  // namespace lapdeck
