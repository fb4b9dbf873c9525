#pragma once

#include <QPointer>
#include <QWidget>

#include "RaceHost.h"

namespace lapdeck {

// Questions and messages as message boxes over the main window.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer ask(const QString& title, const QString& text, Icon icon, bool defaultNo) override;
    void inform(const QString& title, const QString& text, Icon icon) override;
    void showNotice(const QString& title, const QString& text, Icon icon) override;
    QString input(const QString& title, const QString& prompt, const QString& defaultText) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace lapdeck
