#include "mainwnd/commandmenu.h"

#include <QAction>
#include <QStyleOptionMenuItem>

void CCommandMenu::AddCommand(QAction* action, const QString& label) {
    m_labels.insert(action, label);
    addAction(action);
}

QString CCommandMenu::ItemText(const QAction* action) const {
    return m_labels.value(action, action->text());
}

void CCommandMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    if (m_labels.contains(action)) {
        option->text = m_labels.value(action);
    }
}
