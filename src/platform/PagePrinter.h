#pragma once

#include <optional>

#include <QString>

#include "Printout.h"

namespace lapdeck {

// Puts a printout on paper or into a PDF: each line in its font size, each item at
// its character column (a column is the average character width of the line's
// font), lines flowing onto further pages. No printer dialog is shown.
class PagePrinter {
public:
    enum class Outcome { Printed, NoPrinter, Failed };
    struct Result {
        Outcome outcome = Outcome::Printed;
        QString error;  // why it failed
    };

    virtual ~PagePrinter() = default;
    // On the system's default printer. NoPrinter when none is installed.
    virtual Result printOnDefault(const Printout& printout);
    // Into a PDF file, written whole or not at all; the reason when it failed.
    virtual std::optional<QString> savePdf(const Printout& printout, const QString& fileName);
};

}  // namespace lapdeck
