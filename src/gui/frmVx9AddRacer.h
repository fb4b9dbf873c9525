#pragma once

#include <QDialog>

#include "RosterModel.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace lapdeck {

class Prompter;

// The racer roster: add, rename and delete names. Every change is written to
// rcRacers.dat before the list shows it; however the dialog is closed, roster()
// is what the file now holds, for the name pickers.
class frmVx9AddRacer : public QDialog {
    Q_OBJECT

public:
    frmVx9AddRacer(const QString& rosterPath, Prompter& prompter, QWidget* parent = nullptr);

    const QStringList& roster() const { return m_model.entries(); }

    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
    void cmdOk_Click();

    QListWidget* lstRacers = nullptr;
    QLabel* lblQty = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdModify = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdOk = nullptr;
    QLabel* Picture1 = nullptr;

private:
    void Form_Load();
    int selectedRow() const;
    void showRoster(const QString& current = {});
    void showError(const std::optional<ConfigError>& error);

    RosterModel m_model;
    Prompter& m_prompter;
};

}  // namespace lapdeck
