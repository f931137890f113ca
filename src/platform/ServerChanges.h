#pragma once

#include "data/Database.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QAbstractItemView;
class QSocketNotifier;
class QTimer;
class RowListModel;

namespace db {
class ChangeListener;
}

// What other desks change on the server this desk uses, as it is committed: the open lists
// read themselves again. Nothing happens while Norva.db is used.
class ServerChanges : public QObject
{
    Q_OBJECT
public:
    static ServerChanges &instance();
    ~ServerChanges() override;

    // Listens to `database` when it is a server; stops listening otherwise.
    void follow(const db::Database &database);

signals:
    // Tables another desk (or another window) changed, each once per burst, in the program's
    // own spelling ("Firmalar"); emitted at most every half second.
    void changed(const QStringList &tables);

private:
    ServerChanges();
    void listen();
    void read();

    db::Database m_server;
    std::unique_ptr<db::ChangeListener> m_listener;
    std::unique_ptr<QSocketNotifier> m_socket;
    QTimer *m_gather;    // one burst of changes, told once
    QTimer *m_reconnect; // a dropped connection is tried again
    QSet<QString> m_pending;
    bool m_missed = false; // changes may have gone unheard while the connection was down
};

// Reloads a dialog's list when another desk changes one of `tables`: `reload` runs with the
// dialog as its context. Lists that keep their record shown use followList.
void followTables(QObject *dialog, const QStringList &tables, const std::function<void()> &reload);

// The same for a list of a RowListModel whose chosen record stays chosen: `query` (nothing while
// the dialog has listed nothing) is read again into `model`, and the row of the RowId that was
// current made current again without running the view's selection handlers: what the dialog
// shows, typed or not, stays, a new record being typed too. Where the chosen record is gone, the
// dialog's own `reloadWhole` runs instead. `counted` then refreshes what counts the list.
using ListSource = std::function<std::optional<db::ListQuery>()>;
void followList(QObject *dialog, const QStringList &tables, QAbstractItemView *view, RowListModel *model,
                const ListSource &query, const std::function<void()> &reloadWhole,
                const std::function<void()> &counted = {});
