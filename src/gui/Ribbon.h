#pragma once

#include <QHash>
#include <QTabWidget>

class QComboBox;
class QMenu;
class QWidget;
class TCommands;

// The ribbon: four tabs of command groups. Each group shows its main commands as large buttons (a split
// button carries further commands in its drop-down) and the lesser ones as small buttons stacked in columns,
// with the group's caption underneath.
class TRibbon final : public QTabWidget
{
    Q_OBJECT

public:
    TRibbon(TCommands &commands, QWidget *parent = nullptr);

    // A group by its tab and caption ("Content", "Citation").
    QWidget *Group(const QString &tab, const QString &caption) const;
    // Enables or disables a group with its commands (an unbound command stays disabled).
    void SetGroupEnabled(QWidget *group, bool enabled);
    // The style selector of the "Export" group.
    QComboBox *Templates() const { return FTemplates; }
    // The drop-down of "Favorites": the group folders and groups.
    QMenu *FavoritesMenu() const { return FFavoritesMenu; }

private:
    TCommands &FCommands;
    QHash<QString, QWidget *> FGroups;
    QComboBox *FTemplates = nullptr;
    QMenu *FFavoritesMenu = nullptr;
};
