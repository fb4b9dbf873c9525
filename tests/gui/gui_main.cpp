#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

// One QApplication for every window test.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", "/tmp/lapdeck-runtime");
    }
    QDir().mkpath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    QFile::setPermissions(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lapdeck"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
