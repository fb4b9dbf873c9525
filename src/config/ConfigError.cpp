#include "ConfigError.h"

namespace lapdeck {

QString ConfigError::message() const {
    QString where = file;
    if (line > 0) {
        where += QStringLiteral(", line ") + QString::number(line);
        if (field > 0) {
            where += QStringLiteral(", field ") + QString::number(field);
        }
    }
    return where + QStringLiteral(": ") + reason;
}

}  // namespace lapdeck
