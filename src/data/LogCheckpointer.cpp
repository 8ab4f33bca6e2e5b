#include "data/LogCheckpointer.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

std::unique_ptr<LogCheckpointer> LogCheckpointer::start(const QSqlDatabase& db, const QString& path)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    if (!connection)
        return nullptr;
    return std::unique_ptr<LogCheckpointer>(new LogCheckpointer(connection, path));
}

LogCheckpointer::LogCheckpointer(sqlite3* connection, const QString& path)
    : m_connection(connection)
    , m_path(path)
{
    // Takes the place of the connection's own copying after every so many pages.
    sqlite3_wal_hook(m_connection, &LogCheckpointer::committed, this);
    m_thread = std::thread([this] { run(); });
}

LogCheckpointer::~LogCheckpointer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    sqlite3_wal_hook(m_connection, nullptr, nullptr);
    sqlite3_wal_autocheckpoint(m_connection, copyFrom);
}

int LogCheckpointer::copiesDone() const
{
    const std::lock_guard lock(m_mutex);
    return m_copies;
}

int LogCheckpointer::committed(void* self, sqlite3* connection, const char* database, int pages)
{
    auto* checkpointer = static_cast<LogCheckpointer*>(self);
    if (pages >= copyHereFrom || (pages >= copyFrom && checkpointer->m_alone)) {
        // Most of the log is usually copied by now, so this is short; afterwards the log starts
        // again from its beginning at the next post.
        sqlite3_wal_checkpoint_v2(connection, database, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    } else if (pages >= copyFrom) {
        {
            const std::lock_guard lock(checkpointer->m_mutex);
            checkpointer->m_due = true;
        }
        checkpointer->m_wake.notify_one();
    }
    return SQLITE_OK;
}

void LogCheckpointer::run()
{
    sqlite3* db = nullptr;
    const QByteArray path = m_path.toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        // Without a connection of its own the posting connection copies the log itself.
        sqlite3_close(db);
        m_alone = true;
        return;
    }
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_due || m_stop; });
        if (m_stop)
            break;
        m_due = false;
        lock.unlock();
        // Passive: never waits for the posting connection, copies what it can.
        sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
        ++m_copies;
    }
    lock.unlock();
    sqlite3_close(db);
}
