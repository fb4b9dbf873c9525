#include "MessageBoxPrompter.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace lapdeck {
namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString boxTitle(const QString& title) {
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

// The messages join their lines with CR LF; a label shows a bare line feed.
QString boxText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

Answer MessageBoxPrompter::ask(const QString& title, const QString& text, Icon icon,
                               bool defaultNo) {
    QMessageBox box(boxIcon(icon), boxTitle(title), boxText(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void MessageBoxPrompter::inform(const QString& title, const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), boxTitle(title), boxText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

void MessageBoxPrompter::showNotice(const QString& title, const QString& text, Icon icon) {
    auto* box =
        new QMessageBox(boxIcon(icon), boxTitle(title), boxText(text), QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // The race keys (Pause, F4, F5, the digits) stay with the race screen.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->show();
}

QString MessageBoxPrompter::input(const QString& title, const QString& prompt,
                                  const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, boxTitle(title), prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    return ok ? text : QString();
}

}  // namespace lapdeck
