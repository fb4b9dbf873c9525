#pragma once

#include <optional>

#include <QString>
#include <QWidget>

#include "QrMatrix.h"

namespace lapdeck {

// A QR code on screen, black on white with its quiet zone, each module a whole number
// of pixels so that no edge blurs; a hint in its place when there is no code.
class QrCodeView : public QWidget {
    Q_OBJECT

public:
    explicit QrCodeView(QWidget* parent = nullptr);

    void setCode(std::optional<QrMatrix> code, const QString& hint);
    const std::optional<QrMatrix>& code() const { return m_code; }
    // Pixels per module at the present size; 0 without a code.
    int moduleSide() const;

    // About 18 cm across where the screen says how big it is, which a phone reads
    // from two metres; less where the screen is not high enough for that and the
    // window around it.
    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QrMatrix> m_code;
    QString m_hint;
};

}  // namespace lapdeck
