#include "frmVx9AddRacer.h"

#include <algorithm>

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "FieldWriter.h"
#include "RaceHost.h"

namespace lapdeck {

frmVx9AddRacer::frmVx9AddRacer(const QString& rosterPath, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_model(rosterPath), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmVx9AddRacer"));
    setWindowTitle(QStringLiteral("  Lapvane - Racers"));

    lstRacers = new QListWidget(this);
    lstRacers->setObjectName(QStringLiteral("lstRacers"));
    lstRacers->setUniformItemSizes(true);
    lblQty = new QLabel(this);
    lblQty->setObjectName(QStringLiteral("lblQty"));
    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    cmdAdd = button("cmdAdd", QStringLiteral("&Add"), QStringLiteral("Add new racer"));
    cmdModify = button("cmdModify", QStringLiteral("&Modify"),
                       QStringLiteral("Select racer from list to modify"));
    cmdDelete = button("cmdDelete", QStringLiteral("&Delete"),
                       QStringLiteral("Select racer from list to delete"));
    cmdOk = button("cmdOk", QStringLiteral("&OK"), QString());
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/lapdeck/racer.ico"))
                            .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Picture1, 0, Qt::AlignHCenter);
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdModify);
    buttons->addWidget(cmdDelete);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lstRacers, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addWidget(lblQty, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    resize(420, 400);

    connect(cmdAdd, &QPushButton::clicked, this, &frmVx9AddRacer::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &frmVx9AddRacer::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmVx9AddRacer::cmdDelete_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmVx9AddRacer::cmdOk_Click);
    Form_Load();
}

void frmVx9AddRacer::Form_Load() {
    const auto error = m_model.load();
    showRoster();
    // A roster that exists but was refused stays as it is on disk: nothing here
    // may write over it.
    for (QPushButton* b : {cmdAdd, cmdModify, cmdDelete}) {
        b->setEnabled(m_model.canChange());
    }
    showError(error);
}

int frmVx9AddRacer::selectedRow() const {
    // The first selected entry in list order.
    int first = -1;
    const QList<QListWidgetItem*> selected = lstRacers->selectedItems();
    for (const QListWidgetItem* item : selected) {
        const int row = lstRacers->row(item);
        first = first < 0 ? row : std::min(first, row);
    }
    return first;
}

void frmVx9AddRacer::showRoster(const QString& current) {
    lstRacers->clear();
    lstRacers->addItems(m_model.entries());
    const qsizetype at = current.isEmpty() ? -1 : m_model.entries().indexOf(current);
    if (at >= 0) {
        lstRacers->setCurrentRow(static_cast<int>(at));
    }
    lblQty->setText(m_model.countCaption());
}

void frmVx9AddRacer::showError(const std::optional<ConfigError>& error) {
    if (error) {
        m_prompter.inform(QString(), error->message(), Icon::None);
    }
}

void frmVx9AddRacer::cmdAdd_Click() {
    const QString name = m_prompter.input(QStringLiteral("Add Racer"),
                                          QStringLiteral("Enter new Racer name"), QString());
    const qsizetype before = m_model.entries().size();
    showError(m_model.add(name, m_prompter));
    if (m_model.entries().size() != before) {
        showRoster(FieldWriter::storable(properCase(name.trimmed())));
    }
}

void frmVx9AddRacer::cmdModify_Click() {
    const int row = selectedRow();
    if (!m_model.checkModifySelection(row, m_prompter)) {
        return;
    }
    const QString name =
        m_prompter.input(QStringLiteral("Modify Racer"), QStringLiteral("Modify Racer name"),
                         m_model.entries()[row]);
    if (!m_model.acceptable(name, m_prompter)) {
        return;
    }
    showError(m_model.modify(row, name));
    showRoster(m_model.entries().value(row));
}

void frmVx9AddRacer::cmdDelete_Click() {
    const qsizetype before = m_model.entries().size();
    showError(m_model.remove(selectedRow(), m_prompter));
    if (m_model.entries().size() != before) {
        showRoster();
    }
}

void frmVx9AddRacer::cmdOk_Click() {
    accept();
}

}  // namespace lapdeck
