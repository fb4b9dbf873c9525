#pragma once

#include <memory>

#include <QObject>
#include <QString>

class QLocalServer;
class QLockFile;
class QWidget;

namespace lapdeck {

// One Lapdeck per data folder. A second one there would record races into the
// same archive and take the first one's running race for a crashed one, so the
// first start keeps the folder until it ends, by a lock file in it (a crash or a
// kill leaves the file behind; the next start sees its process gone and takes it
// over), and a later start only asks the running one to come to the front.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    static inline const QString kLockFile = QStringLiteral(".lapdeck.lock");

    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process has the folder from now on. False when another Lapdeck
    // has it: that one was asked to come to the front and refusal() says so. A
    // refused claim writes nothing.
    bool claim();
    // What a refused start tells the user.
    QString refusal() const;
    // A later start brings `window` to the front, where the desktop allows it.
    void raiseOnRequest(QWidget& window);

signals:
    // A later start with this folder asked for the window.
    void frontRequested();

private:
    bool askRunningToRaise() const;
    void listen();

    QString m_folder;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    QString m_holderHost;
    bool m_raised = false;
};

}  // namespace lapdeck
