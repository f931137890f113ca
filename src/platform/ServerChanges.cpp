#include "platform/ServerChanges.h"

#include "data/ChangeListener.h"
#include "data/RowListModel.h"
#include "data/Schema.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGatherMs = 500;
constexpr int kReconnectMs = 2000;

// The program's spelling of a table the server names in lower case.
QString tableNamed(const QString &lowerCase)
{
    for (const schema::Step &step : schema::kSteps) {
        for (const schema::Table &table : step.tables) {
            if (lowerCase.compare(QLatin1StringView(table.name), Qt::CaseInsensitive) == 0)
                return QString::fromLatin1(table.name);
        }
    }
    return lowerCase;
}

} // namespace

ServerChanges &ServerChanges::instance()
{
    static ServerChanges changes;
    return changes;
}

ServerChanges::ServerChanges() : m_gather(new QTimer(this)), m_reconnect(new QTimer(this))
{
    m_gather->setSingleShot(true);
    m_gather->setInterval(kGatherMs);
    connect(m_gather, &QTimer::timeout, this, [this] {
        QStringList tables(m_pending.begin(), m_pending.end());
        m_pending.clear();
        tables.sort();
        emit changed(tables);
    });
    m_reconnect->setSingleShot(true);
    m_reconnect->setInterval(kReconnectMs);
    connect(m_reconnect, &QTimer::timeout, this, &ServerChanges::listen);
}

ServerChanges::~ServerChanges() = default;

void ServerChanges::follow(const db::Database &database)
{
    m_socket.reset();
    m_listener.reset();
    m_reconnect->stop();
    m_missed = false;
    m_server = database;
    if (database.isServer())
        listen();
}

void ServerChanges::listen()
{
    try {
        m_listener = std::make_unique<db::ChangeListener>(m_server);
    } catch (const db::Error &) {
        m_missed = true;
        m_reconnect->start(); // the server is away: tried again in a moment, without a box
        return;
    }
    m_socket = std::make_unique<QSocketNotifier>(m_listener->socket(), QSocketNotifier::Read);
    connect(m_socket.get(), &QSocketNotifier::activated, this, &ServerChanges::read);
    if (m_missed) {
        // What changed while nobody listened went unheard: every list reads itself again.
        m_missed = false;
        for (const schema::Step &step : schema::kSteps)
            for (const schema::Table &table : step.tables)
                m_pending.insert(QString::fromLatin1(table.name));
        m_gather->start();
    }
}

void ServerChanges::read()
{
    QStringList tables;
    try {
        tables = m_listener->takeChanges();
    } catch (const db::Error &) {
        // Dropped (the server restarted, say): listened to again, and every list read again then,
        // since what changed meanwhile went unheard.
        m_socket.reset();
        m_listener.reset();
        m_missed = true;
        m_reconnect->start();
        return;
    }
    for (const QString &table : tables)
        m_pending.insert(tableNamed(table));
    if (!m_pending.isEmpty() && !m_gather->isActive())
        m_gather->start();
}

void followTables(QObject *dialog, const QStringList &tables, const std::function<void()> &reload)
{
    QObject::connect(&ServerChanges::instance(), &ServerChanges::changed, dialog,
                     [tables, reload](const QStringList &changed) {
                         for (const QString &table : changed) {
                             if (tables.contains(table)) {
                                 reload();
                                 return;
                             }
                         }
                     });
}

void followList(QObject *dialog, const QStringList &tables, QAbstractItemView *view, RowListModel *model,
                const ListSource &query, const std::function<void()> &reloadWhole, const std::function<void()> &counted)
{
    followTables(dialog, tables, [=] {
        const std::optional<db::ListQuery> listed = query();
        if (!listed)
            return;
        const QModelIndex current =
            view->selectionModel()->isSelected(view->currentIndex()) ? view->currentIndex() : QModelIndex();
        const qint32 chosen = current.isValid() ? model->rowId(current.row()) : -1;
        try {
            model->load(*listed);
        } catch (const db::Error &) {
            return; // the list stays as it was; the next change or a click tries again
        }
        bool kept = chosen < 0;
        if (const int row = kept ? -1 : model->indexOf(chosen); row >= 0) {
            const QSignalBlocker blocker(view->selectionModel());
            view->setCurrentIndex(model->index(row, 0));
            kept = true;
        }
        if (!kept)
            reloadWhole(); // the chosen record is gone: the dialog chooses as after its own reload
        else if (counted)
            counted();
    });
}
