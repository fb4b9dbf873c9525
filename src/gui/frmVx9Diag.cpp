#include "frmVx9Diag.h"

#include <memory>

#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "RaceHost.h"
#include "ReportParser.h"
#include "WidgetLook.h"

namespace lapdeck {
namespace {

QString helpText() {
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("Use Diagnostic to determine if ") + crLf +
           QStringLiteral("sensors are working properly ") + crLf +
           QStringLiteral("and detecting the flags.  ") + crLf +
           QStringLiteral("A hit should occur every time a ") + crLf +
           QStringLiteral("car by goes it's corresponding ") + crLf + QStringLiteral("sensor.") +
           crLf + QStringLiteral("\"Reset\" returns the \"Hits\" ") + crLf +
           QStringLiteral("values back to zero.") + crLf;
}

}  // namespace

frmVx9Diag::frmVx9Diag(ReportSource* port, const QString& noPort,
                       const PerFlag<int32_t>& flagColours, std::function<void()> beep,
                       QWidget* parent, int portNumber, Clock clock)
    : QDialog(parent),
      m_port(port),
      m_beep(std::move(beep)),
      m_portNumber(portNumber),
      m_clock(std::move(clock)) {
    if (!m_clock) {
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        m_clock = [started]() { return started->elapsed(); };
    }
    setObjectName(QStringLiteral("frmVx9Diag"));
    setWindowTitle(QStringLiteral("  Diagnostic Vx9 Timer"));

    txtDiag = new QPlainTextEdit(this);
    txtDiag->setObjectName(QStringLiteral("txtDiag"));
    txtDiag->setReadOnly(true);
    // The box shows lines; its text keeps the CR LF line ends.
    txtDiag->setPlainText(QString(helpText()).remove(QLatin1Char('\r')));
    txtDiag->setMinimumWidth(txtDiag->fontMetrics().horizontalAdvance(
                                 QStringLiteral("A hit should occur every time a ")) +
                             40);
    imgLapvane = new QLabel(this);
    imgLapvane->setObjectName(QStringLiteral("imgLapvane"));
    imgLapvane->setPixmap(QPixmap(QStringLiteral(":/lapdeck/LVLogo.gif")));
    cmdExit = new QPushButton(QStringLiteral("E&xit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setToolTip(QStringLiteral("Return to main screen"));
    cmdReset = new QPushButton(QStringLiteral("&Reset"), this);
    cmdReset->setObjectName(QStringLiteral("cmdReset"));
    cmdReset->setToolTip(QStringLiteral("Reset number of Hits to 0"));
    cmdReset->setAutoDefault(false);

    auto* counts = new QWidget(this);
    auto* grid = new QGridLayout(counts);
    lblFlag = new QLabel(QStringLiteral("Flag"), counts);
    lblFlag->setObjectName(QStringLiteral("lblFlag"));
    Label1 = new QLabel(QStringLiteral("Hits"), counts);
    Label1->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(lblFlag, 0, 0, Qt::AlignHCenter);
    grid->addWidget(Label1, 0, 1, Qt::AlignHCenter);
    for (int i = 1; i <= kFlags; ++i) {
        const QString n = QString::number(i);
        const QColor back = colourOf(flagColours[i]);
        lblLaneNumber[i] = new QLabel(QStringLiteral(" ") + n, counts);
        lblLaneNumber[i]->setObjectName(QStringLiteral("lblLaneNumber") + n);
        lblHit[i] = new QLabel(QStringLiteral("0"), counts);
        lblHit[i]->setObjectName(QStringLiteral("lblHit") + n);
        lblHit[i]->setToolTip(QStringLiteral("Will add at least 1 count when a flag is detected"));
        for (QLabel* label : {lblLaneNumber[i], lblHit[i]}) {
            setColours(label, back, textColourOn(back));
            label->setFrameShape(QFrame::Box);
            label->setAlignment(Qt::AlignCenter);
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral(" 0000")) +
                                   12);
            setFontSize(label, 14, true);
        }
        grid->addWidget(lblLaneNumber[i], i, 0);
        grid->addWidget(lblHit[i], i, 1);
    }
    lblLaneNumber[1]->setToolTip(QStringLiteral("Flag closest to Power Plug"));
    lblLaneNumber[6]->setToolTip(QStringLiteral("Flag furthest from power plug"));

    lblNoPort = new QLabel(noPort, this);
    lblNoPort->setObjectName(QStringLiteral("lblNoPort"));
    lblNoPort->setWordWrap(true);
    lblNoPort->setMinimumWidth(lblNoPort->fontMetrics().averageCharWidth() * 30);
    counts->setVisible(m_port != nullptr);
    lblNoPort->setVisible(m_port == nullptr);
    cmdReset->setEnabled(m_port != nullptr);

    lblNoise = new QLabel(NoiseWatch::warning(m_portNumber), this);
    lblNoise->setObjectName(QStringLiteral("lblNoise"));
    lblNoise->setWordWrap(true);
    lblNoise->setStyleSheet(QStringLiteral("color: black; background: #ffbf00; padding: 3px;"));
    lblNoise->setVisible(false);

    auto* left = new QVBoxLayout;
    left->addWidget(imgLapvane);
    left->addWidget(txtDiag, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(counts);
    right->addWidget(lblNoPort);
    right->addWidget(lblNoise);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdReset);
    buttons->addWidget(cmdExit);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(cmdReset, &QPushButton::clicked, this, &frmVx9Diag::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    tmrDiag.setInterval(200);
    connect(&tmrDiag, &QTimer::timeout, this, &frmVx9Diag::tmrDiag_Timer);
    if (m_port != nullptr) {
        tmrDiag.start();
    }
}

void frmVx9Diag::tmrDiag_Timer() {
    if (m_port == nullptr) {
        return;
    }
    const int64_t now = m_clock();
    while (m_port->hasInput()) {
        const QString text = m_port->read();
        m_noise.reportRead(now, text);
        const int flag = parseReport(text);
        if (flag < 1 || flag > kFlags) {
            continue;
        }
        QLabel* hit = lblHit[static_cast<size_t>(flag)];
        hit->setText(QStringLiteral(" ") + QString::number(hit->text().trimmed().toInt() + 1));
        if (m_beep) {
            m_beep();
        }
    }
    lblNoise->setVisible(m_noise.noisy(now));
}

void frmVx9Diag::cmdReset_Click() {
    for (int i = 1; i <= kFlags; ++i) {
        lblHit[i]->setText(QStringLiteral("0"));
    }
}

void frmVx9Diag::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void frmVx9Diag::Form_Unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    tmrDiag.stop();
    // Reports that came after the last tick must not reach the next race.
    if (m_port != nullptr) {
        while (m_port->hasInput()) {
            m_port->read();
        }
    }
}

}  // namespace lapdeck
