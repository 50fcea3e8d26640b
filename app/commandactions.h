#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>

class QAction;

// Every command of the menus, the toolbar and the accelerators as an action carrying its
// command id, menu text, shortcuts, status-bar prompt and tooltip. The main frame places them
// in its menus and toolbar; the application connects them to their work.
class CCommandActions : public QObject {
    Q_OBJECT

public:
    explicit CCommandActions(QObject* parent);

    // The action of a command id, or null.
    QAction* action(int id) const { return mActions.value(id); }
    // The recent-file actions, 1 to 8, in order.
    const QList<QAction*>& recentFileActions() const noexcept { return mRecent; }
    // The accelerators that no command handles (undo, cut, copy, paste, next and previous
    // pane): present and disabled.
    QList<QAction*> inertActions() const;

private:
    QAction* make(int id, const QString& text, const QString& prompt, const QString& tooltip = {},
                  const QList<QKeySequence>& keys = {});

    QHash<int, QAction*> mActions;
    QList<QAction*> mRecent;
};
