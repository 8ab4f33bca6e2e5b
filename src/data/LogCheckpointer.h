#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class QSqlDatabase;
struct sqlite3;

// Copies the catalogue's write-ahead log back into the database file on a thread of its own, so
// that a post never waits for that copy. A post is safe once it returns, as before: it is in the
// log. When the log keeps growing all the same (the copy cannot keep up, or a reader holds it),
// the posting connection copies it back itself now and then.
class LogCheckpointer
{
public:
    // Nothing to do (nullptr) when the connection is not a SQLite one.
    static std::unique_ptr<LogCheckpointer> start(const QSqlDatabase& db, const QString& path);
    ~LogCheckpointer(); // the thread ends; the rest of the log is copied when the file closes

    LogCheckpointer(const LogCheckpointer&) = delete;
    LogCheckpointer& operator=(const LogCheckpointer&) = delete;

    // Log pages after which a copy starts, and after which the posting connection copies itself.
    static constexpr int copyFrom = 2000;
    static constexpr int copyHereFrom = 16000;

    int copiesDone() const;

private:
    LogCheckpointer(sqlite3* connection, const QString& path);
    static int committed(void* self, sqlite3* connection, const char* database, int pages);
    void run();

    sqlite3* m_connection;
    const QString m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_due = false;
    bool m_stop = false;
    int m_copies = 0;
    std::atomic<bool> m_alone = false; // the thread could not open the file
    std::thread m_thread;
};
