#include "SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QWidget>

namespace lapdeck {
namespace {

constexpr int kAnswerMs = 1000;

QString folderKey(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(folder).absoluteFilePath() : canonical;
}

}  // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_folder(folderKey(dataFolder)) {
    // Socket names are shared by every user of the machine: the home folder keeps
    // two users' names apart.
    const QByteArray key = (m_folder + u'\n' + QDir::homePath()).toUtf8();
    m_serverName = QStringLiteral("lapdeck-") +
                   QString::fromLatin1(
                       QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(kLockFile));
    // A race day lasts hours: only a lock whose process is gone is stale, never an
    // old one.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return true;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_lock->getLockInfo(nullptr, &m_holderHost, nullptr);
        m_lock.reset();
        m_raised = askRunningToRaise();
        return false;
    }
    // No lock file can be made here (a read-only folder, which Lapdeck reports
    // later): a Lapdeck already running with it still answers.
    m_lock.reset();
    if (askRunningToRaise()) {
        m_raised = true;
        return false;
    }
    listen();
    return true;
}

QString SingleInstance::refusal() const {
    const bool elsewhere = !m_holderHost.isEmpty() && m_holderHost != QSysInfo::machineHostName();
    QString text = QStringLiteral("Lapdeck is already running with this data folder") +
                   (elsewhere ? QStringLiteral(" on the computer ") + m_holderHost : QString()) +
                   QStringLiteral(":\n") + QDir::toNativeSeparators(m_folder) + u'\n';
    if (m_raised) {
        text += QStringLiteral("Its window has been brought to the front.");
    } else if (elsewhere) {
        text += QStringLiteral("If Lapdeck no longer runs there, delete ") +
                QDir::toNativeSeparators(QDir(m_folder).filePath(kLockFile)) +
                QStringLiteral(" and start it again.");
    } else {
        text += QStringLiteral("Switch to its window.");
    }
    return text +
           QStringLiteral("\nOnly one Lapdeck at a time can keep its races and settings there.");
}

void SingleInstance::raiseOnRequest(QWidget& window) {
    connect(this, &SingleInstance::frontRequested, &window, [&window]() {
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window.show();
        window.raise();
        window.activateWindow();
        // A dialog open over it stays in front of it.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    });
}

bool SingleInstance::askRunningToRaise() const {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kAnswerMs)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::listen() {
    m_server = new QLocalServer(this);
    // Linux keeps such a name in no file, so a killed Lapdeck leaves no socket behind.
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    // Without the server only the raising is missing; the lock keeps the folder.
    if (!m_server->listen(m_serverName)) {
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this]() {
        while (QLocalSocket* caller = m_server->nextPendingConnection()) {
            caller->deleteLater();
            emit frontRequested();
        }
    });
}

}  // namespace lapdeck
