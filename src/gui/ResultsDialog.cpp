#include "ResultsDialog.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "BusyCursor.h"
#include "Printout.h"
#include "RaceState.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"

namespace lapdeck {

ResultsDialog::ResultsDialog(ResultsWindows& results, int headingRows, const Texts& texts,
                             ProposedName proposedName, QWidget* parent)
    : QDialog(parent), m_results(results), m_proposedName(proposedName) {
    m_menus = new QMenuBar(this);
    mnuFile = m_menus->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = addItem(mnuFile, "mnuOpen", texts.open, [this]() { mnuOpen_Click(); });
    mnuSave = addItem(mnuFile, "mnuSave", texts.save, [this]() { cmdSave_Click(); });
    mnuPrint = addItem(mnuFile, "mnuPrint", texts.print, [this]() { cmdPrint_Click(); });
    mnuSavePdf = addItem(mnuFile, "mnuSavePdf", QStringLiteral("Save as P&DF..."),
                         [this]() { cmdSavePdf_Click(); });
    mnuClose = addItem(mnuFile, "mnuClose", texts.close, [this]() { cmdClose_Click(); });

    m_model = new ResultGridModel(headingRows, this);
    grdGrid = new ResultTableView(m_model);
    grdGrid->setObjectName(QStringLiteral("grdGrid"));
    cmdSave =
        addButton("cmdSave", QStringLiteral("&Save"), texts.saveTip, [this]() { cmdSave_Click(); });
    cmdPrint =
        addButton("cmdPrint", texts.printButton, texts.printTip, [this]() { cmdPrint_Click(); });
    cmdSavePdf = addButton("cmdSavePdf", QStringLiteral("Save as P&DF"), texts.pdfTip,
                           [this]() { cmdSavePdf_Click(); });
    cmdClose = addButton("cmdClose", QStringLiteral("&Close"),
                         QStringLiteral("Return to main screen"), [this]() { cmdClose_Click(); });
}

QAction* ResultsDialog::addItem(QMenu* menu, const char* name, const QString& caption,
                                std::function<void()> slot) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, std::move(slot));
    return a;
}

QPushButton* ResultsDialog::addButton(const char* name, const QString& caption, const QString& tip,
                                      std::function<void()> slot) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, std::move(slot));
    return b;
}

const ResultGrid& ResultsDialog::grid() const {
    return m_model->grid();
}

void ResultsDialog::closeFor(ResultsWindow next) {
    m_next = next;
    accept();
}

void ResultsDialog::cmdClose_Click() {
    closeFor(ResultsWindow::None);
}

void ResultsDialog::mnuOpen_Click() {
    if (m_results.chooseAndRead(this)) {
        closeFor(ResultsWindow::Opened);
    }
}

void ResultsDialog::showingFile(const QString& fileName) {
    m_fileName = fileName;
    setWindowTitle(fileName);
    cmdSave->setEnabled(false);
    mnuSave->setEnabled(false);
}

void ResultsDialog::saveAs(const QString& title, const QString& filter,
                           const std::function<SaveReport(const QString& fileName)>& write) {
    RaceState& state = m_results.state();
    ensureRaceDateTime(state, m_results.now());
    const QString name = m_results.chooseSaveName(
        this, title, m_proposedName(m_results.folder(), state.RaceDateTime), filter);
    if (name.isEmpty()) {
        return;
    }
    const SaveReport report = [&]() {
        BusyCursor busy;
        return write(name);
    }();
    m_results.inform(this, report.messages);
}

QString ResultsDialog::proposedPdf() {
    QString name = m_fileName;
    if (!showsFile()) {
        RaceState& state = m_results.state();
        ensureRaceDateTime(state, m_results.now());
        name = m_proposedName(m_results.folder(), state.RaceDateTime);
    }
    // The file's or the proposed name, with ".pdf" for its extension.
    const QFileInfo file(name);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
}

void ResultsDialog::cmdPrint_Click() {
    m_results.print(this, printout(), proposedPdf());
}

void ResultsDialog::cmdSavePdf_Click() {
    m_results.saveAsPdf(this, printout(), proposedPdf());
}

}  // namespace lapdeck
