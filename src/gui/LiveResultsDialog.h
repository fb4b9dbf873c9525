#pragma once

#include <cstdint>
#include <optional>

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace lapdeck {

class LiveResults;
class Prompter;
class QrCodeView;
class ResultsWindows;

// Starts live results on `port`. A port that is taken is said, with the next free
// one offered; what could not be started is explained. Returns the port served.
std::optional<uint16_t> startServing(LiveResults& live, uint16_t port, Prompter& prompter);

// "Live results: http://ADDRESS:PORT/ · n watching" at the right of the status bar
// while live results are served, kept up to date; a widget of its own, so the
// port's texts beside it are left alone.
QLabel* showLiveStatusIn(QStatusBar& bar, const LiveResults& live);

// "Live Results...": turns the server on and off, shows the page's address and its QR
// code large, and prints a sheet of them for the pit wall. The choice and the port
// are kept in the data folder's choice file as they change.
class LiveResultsDialog : public QDialog {
    Q_OBJECT

public:
    // `choiceFile` is the data folder's file; the results windows print the sheet
    // (a PDF where there is no printer).
    LiveResultsDialog(LiveResults& live, QString choiceFile, Prompter& prompter,
                      ResultsWindows& printing, QWidget* parent = nullptr);

    void chkServe_Click(bool on);
    void cmdPrint_Click();

    QCheckBox* chkServe = nullptr;
    QSpinBox* txtPort = nullptr;
    QLabel* lblAddress = nullptr;
    QLabel* lblWatchers = nullptr;
    QrCodeView* picCode = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void showServing();
    void keepChoice();

    LiveResults& m_live;
    QString m_choiceFile;
    Prompter& m_prompter;
    ResultsWindows& m_printing;
};

}  // namespace lapdeck
