#pragma once

#include <cstdint>
#include <optional>

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace lapdeck {

// Asks what a change of the marshal's desk needs: the reason (may stay empty) and,
// for some, one more thing: how many laps a lap is split into, the flag a crossing is
// given to, or the race time of a missed crossing (typed, or picked with the slider
// between the two crossings around it).
class frmMarshalChange : public QDialog {
    Q_OBJECT

public:
    enum class Asks { Reason, Parts, Flag, Time };

    frmMarshalChange(const QString& title, const QString& what, Asks asks,
                     QWidget* parent = nullptr);

    // Parts: 2 .. 9, `suggested` first.
    void offerParts(int suggested);
    // Flag: the flags offered, each with its name.
    void offerFlag(int flag, const QString& name);
    // Time: the slider runs from `from` to `to`, starting at `at`.
    void offerTimes(int32_t from, int32_t to, int32_t at);

    QString reason() const;
    int parts() const;
    int flag() const;
    std::optional<int32_t> time() const;

    QLabel* lblWhat = nullptr;
    QSpinBox* spnParts = nullptr;
    QComboBox* cboFlag = nullptr;
    QLineEdit* txtTime = nullptr;
    QSlider* sldTime = nullptr;
    QLineEdit* txtReason = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void timeTyped();
};

}  // namespace lapdeck
