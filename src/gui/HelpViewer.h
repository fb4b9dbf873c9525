#pragma once

#include <QDialog>
#include <QString>

class QListWidget;
class QPushButton;
class QUrl;

namespace lapdeck {

class PageView;
class ShellOpener;

// Lapdeck's help: its pages beside a table of contents taken from the contents
// page's links. Not modal, so the organiser can read while setting up a race.
class HelpViewer : public QDialog {
    Q_OBJECT

public:
    HelpViewer(QString folder, ShellOpener& opener, QWidget* parent = nullptr);

    // The contents page; without it there is no help to show.
    static QString contentsPage(const QString& folder);
    bool hasPages() const;
    // Shows a page of the help folder by its file name ("running.html").
    void showPage(const QString& file);

    QListWidget* lstContents = nullptr;
    PageView* txtPage = nullptr;
    QPushButton* cmdContents = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdForward = nullptr;

private:
    void loadContents();
    void pageShown(const QUrl& url);

    QString m_folder;
};

}  // namespace lapdeck
