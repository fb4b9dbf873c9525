#include "QrMatrix.h"

#include <memory>

#include <qrencode.h>

namespace lapdeck {

std::optional<QrMatrix> qrMatrix(const QByteArray& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(text.size()),
                          reinterpret_cast<const unsigned char*>(text.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code) {
        return std::nullopt;
    }
    QrMatrix matrix;
    matrix.size = code->width;
    const auto modules = static_cast<size_t>(code->width) * static_cast<size_t>(code->width);
    matrix.dark.resize(modules);
    for (size_t i = 0; i < modules; ++i) {
        matrix.dark[i] = (code->data[i] & 1u) != 0;  // bit 0 is the module; the rest is metadata
    }
    return matrix;
}

}  // namespace lapdeck
