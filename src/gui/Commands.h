#pragma once

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

// Every command of the desktop program as a named action: its caption ("&" marks the access key, a line break
// splits a ribbon button's caption), its shortcut, its screen tip and its image. A command starts disabled and
// becomes usable once a handler is bound to it, so a command whose work is not there yet is shown but cannot
// be chosen; the window's enabling rules never switch on an unbound command.
class TCommands final : public QObject
{
    Q_OBJECT

public:
    // The actions are owned by the owner window and added to it, so their shortcuts work on every page.
    explicit TCommands(QWidget *owner);

    // The action of that name; an unknown name is a programming error and throws.
    QAction *Get(const QString &name) const;
    QAction *operator[](const char *name) const { return Get(QString::fromLatin1(name)); }
    bool Has(const QString &name) const { return FActions.contains(name); }

    void Bind(const char *name, std::function<void()> handler);
    bool IsBound(const QAction *action) const;
    // Enables a bound command; an unbound one stays disabled whatever the rule says.
    void SetEnabled(const QString &name, bool enabled);
    void SetEnabled(const char *name, bool enabled) { SetEnabled(QString::fromLatin1(name), enabled); }

    // A menu entry with its own caption for a command: it runs the command and follows its enabled state.
    static QAction *AddMenuEntry(QMenu *menu, const QString &caption, QAction *command);

    // The screen tip: the caption as header, the description, then the shortcut when there is one.
    static QString ScreenTip(const QString &caption, const QString &description, const QString &shortcut);
    // A command's image: the desktop icon theme's when it has one, else the program's own.
    static QIcon CommandIcon(const QString &name);

private:
    QHash<QString, QAction *> FActions;
};
