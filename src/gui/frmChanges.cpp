#include "frmChanges.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "MarshalDesk.h"

namespace lapdeck {

frmChanges::frmChanges(const MarshalDesk& desk, QWidget* parent) : QDialog(parent), m_desk(desk) {
    setObjectName(QStringLiteral("frmChanges"));
    setWindowTitle(correctionWords::kChangesTitle);
    grdChanges = new QTableWidget(0, 5);
    grdChanges->setObjectName(QStringLiteral("grdChanges"));
    grdChanges->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("Time"),
                                           QStringLiteral("What"), QStringLiteral("Reason"),
                                           QStringLiteral("Taken back")});
    grdChanges->verticalHeader()->hide();
    grdChanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChanges->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdChanges);
    layout->addWidget(buttons);
    resize(820, 320);
    fill();
}

void frmChanges::fill() {
    const std::vector<Correction>& changes = m_desk.changes();
    const std::vector<bool> inForce = m_desk.inForce();
    grdChanges->setRowCount(static_cast<int>(changes.size()));
    for (size_t i = 0; i < changes.size(); ++i) {
        const Correction& c = changes[i];
        // An undo is never itself "taken back" here: taking it back shows as a put back.
        const bool takenBack = c.kind != CorrectionKind::Undo && !inForce[i];
        const QStringList cells = {QString::number(c.number),
                                   c.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                   describeCorrection(c, changes), c.reason,
                                   takenBack ? correctionWords::kTakenBack : QString()};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (takenBack) {
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            }
            grdChanges->setItem(static_cast<int>(i), column, item);
        }
    }
    grdChanges->resizeColumnToContents(0);
    grdChanges->resizeColumnToContents(1);
    grdChanges->resizeColumnToContents(4);
}

}  // namespace lapdeck
