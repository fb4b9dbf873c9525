#include "ResultsWindows.h"

#include <QDialog>
#include <QTimer>

#include "BusyCursor.h"
#include "DesktopOpener.h"
#include "DialogFileChooser.h"
#include "MessageBoxPrompter.h"
#include "PagePrinter.h"
#include "Printout.h"
#include "RaceState.h"
#include "frmSummary.h"
#include "frmViewLaps.h"

namespace lapdeck {
namespace {

const QString kPdfTitle = QStringLiteral("Save as PDF");
const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)|*.pdf");

}  // namespace

ResultsWindows::ResultsWindows(RaceState& state, SummaryStats& stats, QString folder,
                               ResultsServices services, QWidget* parent)
    : m_state(state),
      m_stats(stats),
      m_folder(std::move(folder)),
      m_services(std::move(services)),
      m_parent(parent) {
    if (m_services.prompter == nullptr) {
        m_ownPrompter = std::make_unique<MessageBoxPrompter>(parent);
        m_services.prompter = m_ownPrompter.get();
    }
    if (m_services.files == nullptr) {
        m_ownFiles = std::make_unique<DialogFileChooser>();
        m_services.files = m_ownFiles.get();
    }
    if (m_services.printer == nullptr) {
        m_ownPrinter = std::make_unique<PagePrinter>();
        m_services.printer = m_ownPrinter.get();
    }
    if (m_services.desktop == nullptr) {
        m_ownDesktop = std::make_unique<DesktopOpener>();
        m_services.desktop = m_ownDesktop.get();
    }
}

ResultsWindows::~ResultsWindows() {
    // A summary file window still open must not outlive what it calls back.
    delete m_openedSummary.data();
}

frmSummary* ResultsWindows::openedSummary() const {
    return m_openedSummary.data();
}

QDateTime ResultsWindows::now() const {
    return m_services.now ? m_services.now() : QDateTime::currentDateTime();
}

Prompter& ResultsWindows::prompter(QWidget* over) {
    if (m_ownPrompter) {
        m_ownPrompter->setParent(over != nullptr ? over : m_parent);
    }
    return *m_services.prompter;
}

void ResultsWindows::inform(QWidget* over, const std::vector<ResultMessage>& messages) {
    for (const ResultMessage& m : messages) {
        prompter(over).inform(m.title, m.text, m.icon);
    }
}

QString ResultsWindows::chooseSaveName(QWidget* over, const QString& title, const QString& proposed,
                                       const QString& filter) {
    return m_services.files->saveFileName(over, title, proposed, filter);
}

void ResultsWindows::showLapTimes() {
    run(ResultsWindow::LapTimes);
}

void ResultsWindows::showSummary() {
    run(ResultsWindow::Summary);
}

void ResultsWindows::openFile() {
    if (chooseAndRead(m_parent)) {
        run(ResultsWindow::Opened);
    }
}

bool ResultsWindows::chooseAndRead(QWidget* over) {
    const QString name =
        m_services.files->openFileName(over, m_folder, QString::fromUtf16(kOpenFilter));
    Expected<OpenedResult> opened = [&]() {
        BusyCursor busy;
        return openResultFile(name);
    }();
    if (!opened) {
        inform(over, {opened.error()});
        return false;
    }
    switch (opened.value().kind) {
        case OpenKind::Nothing:
            return false;
        case OpenKind::Shell:
            if (!m_services.desktop->openDocument(name)) {
                inform(over, {ResultMessage{QStringLiteral("Open"),
                                            QStringLiteral("File ") + name +
                                                QStringLiteral(" could not be handed to a "
                                                               "program that shows text files."),
                                            Icon::Exclamation}});
            }
            return false;
        case OpenKind::LapFile:
        case OpenKind::SummaryFile:
            break;
    }
    m_pending = std::move(opened.value());
    return true;
}

void ResultsWindows::run(ResultsWindow first) {
    ResultsWindow next = first;
    while (next != ResultsWindow::None) {
        switch (next) {
            case ResultsWindow::LapTimes:
                next = runLapTimes();
                break;
            case ResultsWindow::Summary:
                next = runSummary();
                break;
            case ResultsWindow::Opened:
                next = runOpened();
                break;
            case ResultsWindow::None:
                break;
        }
    }
}

void ResultsWindows::runModal(QDialog& window) {
    if (m_services.runModal) {
        m_services.runModal(window);
    } else {
        window.exec();
    }
}

void ResultsWindows::closeOpenedSummary() {
    if (m_openedSummary) {
        m_openedSummary->close();
    }
}

ResultsWindow ResultsWindows::runBuilt(ResultsDialog& window) {
    if (!window.build()) {
        return ResultsWindow::None;
    }
    runModal(window);
    return window.next();
}

ResultsWindow ResultsWindows::runLapTimes() {
    frmViewLaps window(*this, m_parent);
    return runBuilt(window);
}

ResultsWindow ResultsWindows::runSummary() {
    // One summary window at a time: the race's own replaces a file's.
    closeOpenedSummary();
    frmSummary window(*this, m_parent);
    return runBuilt(window);
}

ResultsWindow ResultsWindows::runOpened() {
    if (!m_pending) {
        return ResultsWindow::None;
    }
    OpenedResult opened = std::move(*m_pending);
    m_pending.reset();
    closeOpenedSummary();
    if (opened.laps) {
        frmViewLaps window(*this, m_parent);
        window.showLapFile(*opened.laps, opened.fileName);
        runModal(window);
        return window.next();
    }
    if (opened.summary) {
        // A summary file stays open beside the main window.
        auto* window = new frmSummary(*this, m_parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showSummaryFile(*opened.summary, opened.fileName);
        m_openedSummary = window;
        QObject::connect(window, &QDialog::finished, window, [this, window]() {
            const ResultsWindow next = window->next();
            if (next != ResultsWindow::None) {
                // Not from inside the closing window's own signal.
                QTimer::singleShot(0, &m_alive, [this, next]() { run(next); });
            }
        });
        window->show();
    }
    return ResultsWindow::None;
}

void ResultsWindows::print(QWidget* over, const Printout& printout, const QString& proposedPdf) {
    const PagePrinter::Result result = [&]() {
        BusyCursor busy;
        return m_services.printer->printOnDefault(printout);
    }();
    if (result.outcome == PagePrinter::Outcome::Printed) {
        return;
    }
    const QString question = result.error + QStringLiteral("\r\n") +
                             QStringLiteral("Do you want to save the printout as a PDF file?");
    if (prompter(over).ask(QStringLiteral("Print"), question, Icon::Exclamation, false) ==
        Answer::Yes) {
        saveAsPdf(over, printout, proposedPdf);
    }
}

void ResultsWindows::saveAsPdf(QWidget* over, const Printout& printout,
                               const QString& proposedPdf) {
    const QString name = m_services.files->saveFileName(over, kPdfTitle, proposedPdf, kPdfFilter);
    if (name.isEmpty()) {
        return;
    }
    const std::optional<QString> error = [&]() {
        BusyCursor busy;
        return m_services.printer->savePdf(printout, name);
    }();
    if (error) {
        inform(over, {ResultMessage{QStringLiteral("File Not Saved"),
                                    QStringLiteral("File ") + name +
                                        QStringLiteral(" could not be saved: ") + *error,
                                    Icon::Exclamation}});
        return;
    }
    inform(over, {savedMessage(name)});
}

}  // namespace lapdeck
