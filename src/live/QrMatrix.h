#pragma once

#include <optional>
#include <vector>

#include <QByteArray>

namespace lapdeck {

// The modules of a QR code, row by row; the window draws and prints them with a
// quiet zone of four modules around.
struct QrMatrix {
    int size = 0;  // modules per side
    std::vector<bool> dark;

    bool isDark(int x, int y) const {
        return x >= 0 && y >= 0 && x < size && y < size &&
               dark[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)];
    }
};

// The QR code of `text` (an address), error correction level M so a creased or
// glossy sheet on the pit wall still scans. Nothing when the text does not fit.
std::optional<QrMatrix> qrMatrix(const QByteArray& text);

}  // namespace lapdeck
