#include "DialogFileChooser.h"

#include <QFileDialog>

namespace lapdeck {

QStringList DialogFileChooser::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        // Qt reads the patterns from the parentheses of the description.
        filters << (description.contains(u'(')
                        ? description
                        : description + QStringLiteral(" (") + parts[i + 1] + u')');
    }
    return filters;
}

QString DialogFileChooser::saveFileName(QWidget* parent, const QString& title,
                                        const QString& proposed, const QString& filter,
                                        const QString& defaultSuffix) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString DialogFileChooser::openFileName(QWidget* parent, const QString& folder,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), folder,
                                        nameFilters(filter).join(QStringLiteral(";;")));
}

}  // namespace lapdeck
