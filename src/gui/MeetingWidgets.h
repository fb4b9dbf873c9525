#pragma once

// Small builders shared by the meeting window's files.

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPushButton>
#include <QString>
#include <QTableWidget>

namespace lapdeck::meeting_ui {

inline QString title() {
    return QStringLiteral("Meeting");
}

inline QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QTableWidget* table(const char* name, QWidget* parent) {
    auto* t = named(new QTableWidget(parent), name);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

}  // namespace lapdeck::meeting_ui
