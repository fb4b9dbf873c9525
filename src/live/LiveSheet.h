#pragma once

#include <QString>

#include "Printout.h"
#include "QrMatrix.h"

namespace lapdeck {

inline constexpr double kLiveSheetCodeMm = 140.0;

// The sheet for the pit wall: what it is, the QR code of the page (with its quiet
// zone, kLiveSheetCodeMm wide) and the address in words for those who type it.
Printout liveSheet(const QString& url, const QrMatrix& code);

}  // namespace lapdeck
