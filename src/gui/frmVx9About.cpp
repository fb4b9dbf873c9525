#include "frmVx9About.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lapdeck {
namespace {

QLabel* blueLabel(const char* name, const QString& text, double points, bool bold,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 192));
    label->setPalette(pal);
    label->setWordWrap(true);
    return label;
}

QFrame* line(int index, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("Line1_%1").arg(index));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

}  // namespace

frmVx9About::frmVx9About(const QPixmap& logo, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVx9About"));
    setWindowTitle(QStringLiteral("  About Lapvane"));
    setModal(true);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);

    imgLapvane = new QLabel(Frame1);
    imgLapvane->setObjectName(QStringLiteral("imgLapvane"));
    imgLapvane->setPixmap(logo);
    imgLapvane->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    lblVersion =
        blueLabel("lblVersion", QStringLiteral("Lapvane Vx9 Timer Version 4.00"), 12, true, Frame1);
    lblDescription = blueLabel(
        "lblDescription", QStringLiteral("Remote Control Car racing software."), 10, false, Frame1);
    const QString version = QCoreApplication::applicationVersion();
    Label1 = blueLabel("Label1",
                       QStringLiteral("Lapdeck %1, lap counter and race timer, built with Qt %2.")
                           .arg(version.isEmpty() ? QStringLiteral("(development build)") : version,
                                QString::fromLatin1(QT_VERSION_STR)),
                       9, false, Frame1);
    Label2 = blueLabel("Label2",
                       QStringLiteral("Race cues spoken with eSpeak NG and mixed with SoX; "
                                      "pictures and pages made for Lapdeck."),
                       9, false, Frame1);
    lblDisclaimer = blueLabel(
        "lblDisclaimer",
        QStringLiteral("Warning: this program is provided as is, without warranty of any kind."), 8,
        false, this);
    Line1[0] = line(0, Frame1);
    Line1[1] = line(1, this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* inner = new QGridLayout(Frame1);
    inner->addWidget(imgLapvane, 0, 0, 2, 1);
    inner->addWidget(lblVersion, 0, 1);
    inner->addWidget(lblDescription, 1, 1);
    inner->addWidget(Line1[0], 2, 0, 1, 2);
    inner->addWidget(Label1, 3, 0, 1, 2);
    inner->addWidget(Label2, 4, 0, 1, 2);
    inner->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Line1[1]);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addWidget(cmdOK, 0, Qt::AlignBottom);
    layout->addLayout(bottom);
    setMinimumWidth(560);
}

}  // namespace lapdeck
