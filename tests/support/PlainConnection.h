#pragma once

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>

// A plain connection of the test's own to a catalogue file, beside the one under test: it sees
// only what was committed. The file must exist before it opens (SQLite would make an empty one).
class PlainConnection
{
public:
    explicit PlainConnection(const QString& path)
        : m_name(QStringLiteral("plain-") + QString::number(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~PlainConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    PlainConnection(const PlainConnection&) = delete;
    PlainConnection& operator=(const PlainConnection&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    bool exec(const QString& sql, const QVariantList& values = {}) const
    {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            qWarning().noquote() << sql << q.lastError().text();
            return false;
        }
        return true;
    }
    QList<QVariantList> rows(const QString& sql) const
    {
        QList<QVariantList> out;
        QSqlQuery q(db());
        if (!q.exec(sql))
            qWarning().noquote() << sql << q.lastError().text();
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row.append(q.value(i));
            out.append(row);
        }
        return out;
    }
    // The CREATE statement of a table; empty when there is none.
    QString tableSql(const QString& table) const
    {
        const auto r =
            rows(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = '%1'").arg(table));
        return r.isEmpty() ? QString() : r.first().first().toString();
    }

private:
    static inline int s_count = 0;
    QString m_name;
};
