#include "DialogFileChooser.h"

#include <algorithm>

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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

namespace {

// The extensions of the filter's types in turn, "lap" of "*.lap"; empty for "*".
QStringList extensions(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList found;
    for (qsizetype i = 1; i < parts.size(); i += 2) {
        const QString& pattern = parts[i];
        found << (pattern.startsWith(QStringLiteral("*.")) ? pattern.mid(2) : QString());
    }
    return found;
}

}  // namespace

QString DialogFileChooser::withExtension(const QString& name, const QString& filter, int chosen) {
    const QStringList known = extensions(filter);
    const QString suffix = QFileInfo(name).suffix();
    if (!suffix.isEmpty() && known.contains(suffix, Qt::CaseInsensitive)) {
        return name;
    }
    const QString added = known.value(chosen);
    return added.isEmpty() ? name : name + u'.' + added;
}

QString DialogFileChooser::saveFileName(QWidget* parent, const QString& title,
                                        const QString& proposed, const QString& filter) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(filter);
    dialog.setNameFilters(filters);
    // Qt's default suffix takes "5 final" of "Heat 1.5 final" for an extension; the
    // extension of the type chosen is added below instead.
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString typed = dialog.selectedFiles().constFirst();
    const auto chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    const QString name = withExtension(typed, filter, std::max(chosen, 0));
    // The dialog asked about the name as typed; the name with its extension is asked here.
    if (name != typed && QFileInfo::exists(name) &&
        QMessageBox::warning(parent, title,
                             QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(QFileInfo(name).fileName()),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) != QMessageBox::Yes) {
        return {};
    }
    return name;
}

QString DialogFileChooser::openFileName(QWidget* parent, const QString& folder,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), folder,
                                        nameFilters(filter).join(QStringLiteral(";;")));
}

}  // namespace lapdeck
