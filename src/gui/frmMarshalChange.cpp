#include "frmMarshalChange.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "Corrections.h"
#include "MarshalDesk.h"

namespace lapdeck {

frmMarshalChange::frmMarshalChange(const QString& title, const QString& what, Asks asks,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmMarshalChange"));
    setWindowTitle(title);
    lblWhat = new QLabel(what);
    lblWhat->setObjectName(QStringLiteral("lblWhat"));
    lblWhat->setWordWrap(true);
    auto* form = new QFormLayout;
    switch (asks) {
        case Asks::Reason:
            break;
        case Asks::Parts:
            spnParts = new QSpinBox;
            spnParts->setObjectName(QStringLiteral("spnParts"));
            spnParts->setRange(2, 9);
            form->addRow(QStringLiteral("Laps it was:"), spnParts);
            break;
        case Asks::Flag:
            cboFlag = new QComboBox;
            cboFlag->setObjectName(QStringLiteral("cboFlag"));
            form->addRow(QStringLiteral("Give it to:"), cboFlag);
            break;
        case Asks::Time: {
            txtTime = new QLineEdit;
            txtTime->setObjectName(QStringLiteral("txtTime"));
            txtTime->setPlaceholderText(QStringLiteral("m:ss.mmm"));
            sldTime = new QSlider(Qt::Horizontal);
            sldTime->setObjectName(QStringLiteral("sldTime"));
            form->addRow(QStringLiteral("Race time:"), txtTime);
            form->addRow(QString(), sldTime);
            connect(sldTime, &QSlider::valueChanged, this, [this](int value) {
                if (time() != value) {
                    txtTime->setText(correctionClockText(value));
                }
            });
            connect(txtTime, &QLineEdit::textEdited, this, &frmMarshalChange::timeTyped);
            break;
        }
    }
    txtReason = new QLineEdit;
    txtReason->setObjectName(QStringLiteral("txtReason"));
    txtReason->setPlaceholderText(QStringLiteral("may be left empty"));
    form->addRow(QStringLiteral("Reason:"), txtReason);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWhat);
    layout->addLayout(form);
    layout->addWidget(buttons);
    txtReason->setFocus();
    setMinimumWidth(420);
}

void frmMarshalChange::offerParts(int suggested) {
    spnParts->setValue(suggested);
}

void frmMarshalChange::offerFlag(int flag, const QString& name) {
    cboFlag->addItem(name.isEmpty() ? QStringLiteral("Flag %1").arg(flag)
                                    : QStringLiteral("Flag %1: %2").arg(flag).arg(name),
                     flag);
}

void frmMarshalChange::offerTimes(int32_t from, int32_t to, int32_t at) {
    sldTime->setRange(from, to);
    sldTime->setValue(at);
    txtTime->setText(correctionClockText(at));
}

// A typed time moves the slider where it can; OK waits for a time that reads.
void frmMarshalChange::timeTyped() {
    const std::optional<int32_t> at = time();
    buttons->button(QDialogButtonBox::Ok)->setEnabled(at.has_value());
    if (at && *at >= sldTime->minimum() && *at <= sldTime->maximum()) {
        const QSignalBlocker still(sldTime);
        sldTime->setValue(*at);
    }
}

QString frmMarshalChange::reason() const {
    return txtReason->text().trimmed();
}

int frmMarshalChange::parts() const {
    return spnParts != nullptr ? spnParts->value() : 0;
}

int frmMarshalChange::flag() const {
    return cboFlag != nullptr ? cboFlag->currentData().toInt() : 0;
}

std::optional<int32_t> frmMarshalChange::time() const {
    return txtTime != nullptr ? parseRaceTime(txtTime->text()) : std::nullopt;
}

}  // namespace lapdeck
