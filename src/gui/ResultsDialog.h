#pragma once

#include <functional>

#include <QDialog>

#include "ResultsWindows.h"

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;

namespace lapdeck {

class ResultGridModel;
class ResultTableView;
struct Printout;

// What the lap table and summary windows share: the grid, the File menu, the Save,
// Print, Save as PDF and Close buttons, the window to show next, and a saved file
// shown in place of the race's own results.
class ResultsDialog : public QDialog {
    Q_OBJECT

public:
    // The File menu's captions, the print button's caption and the hover texts.
    struct Texts {
        QString open, save, print, close;
        QString printButton, saveTip, printTip, pdfTip;
    };
    using ProposedName = QString (*)(const QString& folder, const QString& raceDateTime);

    // Builds from the race state; false (after the message) when there is nothing.
    virtual bool build() = 0;
    // The window to show once this one has closed.
    ResultsWindow next() const { return m_next; }
    const ResultGrid& grid() const;

    virtual void cmdSave_Click() = 0;
    void cmdPrint_Click();
    void cmdSavePdf_Click();
    void cmdClose_Click();
    void mnuOpen_Click();

    ResultTableView* grdGrid = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdClose = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuSavePdf = nullptr;
    QAction* mnuClose = nullptr;

protected:
    ResultsDialog(ResultsWindows& results, int headingRows, const Texts& texts,
                  ProposedName proposedName, QWidget* parent);

    QMenuBar* menus() const { return m_menus; }
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     std::function<void()> slot);
    QPushButton* addButton(const char* name, const QString& caption, const QString& tip,
                           std::function<void()> slot);
    // Closes the window so that `next` is shown.
    void closeFor(ResultsWindow next);
    // A saved file shown: its full name as the caption, and no saving it again
    // (that would clear the race's own unsaved mark).
    void showingFile(const QString& fileName);
    bool showsFile() const { return !m_fileName.isEmpty(); }
    // Saves the grid shown through `write`, under a name the user chooses.
    void saveAs(const QString& title, const QString& filter,
                const std::function<SaveReport(const QString& fileName)>& write);
    virtual Printout printout() const = 0;

    ResultsWindows& m_results;
    ResultGridModel* m_model = nullptr;

private:
    QString proposedPdf();

    ProposedName m_proposedName;
    QMenuBar* m_menus = nullptr;
    QString m_fileName;
    ResultsWindow m_next = ResultsWindow::None;
};

}  // namespace lapdeck
