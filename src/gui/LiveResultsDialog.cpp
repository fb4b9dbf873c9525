#include "LiveResultsDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "LiveResults.h"
#include "LiveSettings.h"
#include "LiveSheet.h"
#include "QrCodeView.h"
#include "RaceHost.h"
#include "ResultsWindows.h"

namespace lapdeck {
namespace {

const QString kTitle = QStringLiteral("Live Results");

}  // namespace

std::optional<uint16_t> startServing(LiveResults& live, uint16_t port, Prompter& prompter) {
    std::optional<LiveStartProblem> problem = live.start(port);
    if (problem && problem->freePort != 0) {
        const QString question =
            problem->text +
            QStringLiteral("\r\nServe live results on port %1 instead?").arg(problem->freePort);
        if (prompter.ask(kTitle, question, Icon::Question, false) == Answer::No) {
            return std::nullopt;
        }
        problem = live.start(problem->freePort);
    }
    if (problem) {
        prompter.inform(kTitle, problem->text, Icon::Exclamation);
        return std::nullopt;
    }
    return live.port();
}

QLabel* showLiveStatusIn(QStatusBar& bar, const LiveResults& live) {
    auto* label = new QLabel(&bar);
    label->setObjectName(QStringLiteral("lblLiveResults"));
    auto show = [label, &live]() {
        label->setText(live.statusLine());
        label->setVisible(live.isRunning());
    };
    QObject::connect(&live, &LiveResults::runningChanged, label, show);
    QObject::connect(&live, &LiveResults::watchersChanged, label, show);
    bar.addPermanentWidget(label);
    show();
    return label;
}

LiveResultsDialog::LiveResultsDialog(LiveResults& live, QString choiceFile, Prompter& prompter,
                                     ResultsWindows& printing, QWidget* parent)
    : QDialog(parent),
      m_live(live),
      m_choiceFile(std::move(choiceFile)),
      m_prompter(prompter),
      m_printing(printing) {
    setObjectName(QStringLiteral("LiveResultsDialog"));
    setWindowTitle(kTitle);

    chkServe = new QCheckBox(QStringLiteral("&Serve live results to phones on this network"));
    chkServe->setObjectName(QStringLiteral("chkServe"));
    txtPort = new QSpinBox;
    txtPort->setObjectName(QStringLiteral("txtPort"));
    txtPort->setRange(1, 65535);
    txtPort->setToolTip(QStringLiteral("The port can be changed while live results are off"));
    auto* portLabel = new QLabel(QStringLiteral("P&ort:"));
    portLabel->setBuddy(txtPort);
    lblAddress = new QLabel;
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblAddress->setAlignment(Qt::AlignCenter);
    lblAddress->setWordWrap(true);
    QFont big = lblAddress->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    lblAddress->setFont(big);
    picCode = new QrCodeView;
    picCode->setObjectName(QStringLiteral("picCode"));
    lblWatchers = new QLabel;
    lblWatchers->setObjectName(QStringLiteral("lblWatchers"));
    cmdPrint = new QPushButton(QStringLiteral("&Print"));
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setToolTip(QStringLiteral("Print the QR code and the address for the pit wall"));
    cmdPrint->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("&Close"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);

    auto* serving = new QHBoxLayout;
    serving->addWidget(chkServe, 1);
    serving->addWidget(portLabel);
    serving->addWidget(txtPort);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblWatchers, 1);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(serving);
    layout->addWidget(lblAddress);
    layout->addWidget(picCode, 1);
    layout->addLayout(buttons);

    connect(chkServe, &QCheckBox::clicked, this, &LiveResultsDialog::chkServe_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &LiveResultsDialog::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_live, &LiveResults::watchersChanged, this, &LiveResultsDialog::showServing);
    connect(&m_live, &LiveResults::runningChanged, this, &LiveResultsDialog::showServing);

    // Served on another port for this run (the command line): that one is shown.
    LoadResult<LiveChoice> choice = loadLiveChoice(m_choiceFile);
    if (!choice.ok()) {
        m_prompter.inform(kTitle, choice.error->message(), Icon::Exclamation);
    }
    txtPort->setValue(m_live.isRunning() ? m_live.port() : choice.value.port);
    showServing();
    // Larger than a dialog's usual two thirds of the screen: the code is read from afar.
    resize(sizeHint());
}

void LiveResultsDialog::showServing() {
    const bool on = m_live.isRunning();
    chkServe->setChecked(on);
    txtPort->setEnabled(!on);
    cmdPrint->setEnabled(on);
    if (on) {
        lblAddress->setText(m_live.address());
        picCode->setCode(m_live.qrCode(), {});
        lblWatchers->setText(QStringLiteral("%1 watching").arg(m_live.watchers()));
    } else {
        lblAddress->setText(QStringLiteral("Live results are off."));
        picCode->setCode(std::nullopt,
                         QStringLiteral("Turn live results on to show the page's address and "
                                        "its QR code. Phones must be on the same network as "
                                        "this PC; no internet is needed."));
        lblWatchers->clear();
    }
}

void LiveResultsDialog::chkServe_Click(bool on) {
    if (on) {
        if (const auto port =
                startServing(m_live, static_cast<uint16_t>(txtPort->value()), m_prompter)) {
            txtPort->setValue(*port);
        }
    } else {
        m_live.stop();
    }
    showServing();
    keepChoice();
}

void LiveResultsDialog::keepChoice() {
    const LiveChoice choice{m_live.isRunning(), static_cast<uint16_t>(txtPort->value())};
    if (const auto error = saveLiveChoice(m_choiceFile, choice)) {
        m_prompter.inform(kTitle, error->message(), Icon::Exclamation);
    }
}

void LiveResultsDialog::cmdPrint_Click() {
    const auto code = m_live.qrCode();
    if (!code) {
        return;
    }
    const QFileInfo file(m_choiceFile);
    m_printing.print(this, liveSheet(m_live.address(), *code),
                     file.dir().filePath(QStringLiteral("Live Results.pdf")));
}

}  // namespace lapdeck
