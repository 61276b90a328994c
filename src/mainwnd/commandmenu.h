#pragma once

#include <QHash>
#include <QMenu>
#include <QString>

// A menu of the main window's shared commands that shows each under a label of its own: the
// context menu and the tray menu name the same actions as the menu bar, but with shorter
// labels. Greying an action greys it here too.
class CCommandMenu : public QMenu {
    Q_OBJECT

public:
    using QMenu::QMenu;

    // Adds the shared action, shown as label.
    void AddCommand(QAction* action, const QString& label);
    // The text this menu shows for the action.
    QString ItemText(const QAction* action) const;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

private:
    QHash<const QAction*, QString> m_labels;
};
