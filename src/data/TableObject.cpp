#include "data/TableObject.h"

#include "platform/OrdnixError.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <sqlite3.h>
#include <utility>

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

int digits(const QString& text, int from, int count, bool* ok)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            *ok = false;
            return 0;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

namespace {

// The SQLite connection behind a Qt connection, when it is one; rows are then read and written
// through SQLite itself, which spares a conversion and a copy of every value.
sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

class RawStatement
{
public:
    RawStatement() = default;
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    ~RawStatement() { sqlite3_finalize(m_stmt); }

    bool isPrepared() const { return m_stmt != nullptr; }
    bool prepare(sqlite3* db, const QString& sql)
    {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        return sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt,
                                  nullptr) == SQLITE_OK;
    }
    void bind(int position, const QVariant& value)
    {
        switch (value.isValid() ? value.typeId() : QMetaType::UnknownType) {
        case QMetaType::UnknownType:
            sqlite3_bind_null(m_stmt, position);
            break;
        case QMetaType::QString: {
            const QString& text = *static_cast<const QString*>(value.constData());
            sqlite3_bind_text16(m_stmt, position, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Bool:
            sqlite3_bind_int64(m_stmt, position, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_stmt, position, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(m_stmt, position, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString text = value.toString();
            sqlite3_bind_text16(m_stmt, position, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        }
        }
    }
    int step() { return sqlite3_step(m_stmt); }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace

class TableObject::Statements
{
public:
    explicit Statements(const QSqlDatabase& db)
        : insert(db)
        , remove(db)
        , db(db)
        , raw(sqliteHandle(db))
    {}
    QSqlQuery insert;
    QSqlQuery remove;
    std::map<QString, QSqlQuery> updates; // by changed-field mask
    QSqlDatabase db;
    bool insertPrepared = false;
    bool removePrepared = false;

    sqlite3* raw;
    RawStatement rawInsert;
    RawStatement rawRemove;
    std::map<QString, RawStatement> rawUpdates;
    std::map<int, RawStatement> rawBlobs; // by field

    QString rawError() const { return raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString(); }
    // Runs a prepared write to its end; the SQLite message on failure, empty on success.
    QString runWrite(RawStatement& statement)
    {
        const int rc = statement.step();
        const QString error = rc == SQLITE_DONE ? QString() : rawError();
        statement.reset();
        return rc == SQLITE_DONE ? QString() : (error.isEmpty() ? QStringLiteral("SQLite %1").arg(rc) : error);
    }
};

TableObject::TableObject(const TableDef& definition, QObject* parent)
    : QAbstractTableModel(parent)
    , m_def(definition)
{
    setObjectName(definition.objectName);
    for (int i = 0; i < m_def.fields.size(); ++i)
        m_fieldIndex.insert(m_def.fields[i].name, i);
    for (int i = 0; i < m_def.fields.size(); ++i) {
        if (m_def.fields[i].type == FieldType::Blob)
            m_blobFields.append(i);
        if (m_def.fields[i].type == FieldType::Counter && m_counterField < 0)
            m_counterField = i;
    }
}

TableObject::~TableObject()
{
    delete m_statements;
}

QVariant TableObject::databaseValue(int field, const QVariant& stored) const
{
    if (stored.isValid() && m_def.fields[field].type == FieldType::DateTime)
        return packedToText(stored.toLongLong());
    return stored;
}

int TableObject::fieldIndex(const QString& field) const
{
    if (const auto it = m_fieldIndex.constFind(field); it != m_fieldIndex.constEnd())
        return it.value();
    const int index = m_def.fieldIndex(field);
    if (index < 0)
        throw OrdnixError(QStringLiteral("Die Tabelle „%1“ hat kein Feld „%2“.").arg(m_def.name, field));
    return index;
}

QString TableObject::sqlError(const QString& action, const QString& detail) const
{
    return QStringLiteral("%1 in der Tabelle „%2“ ist fehlgeschlagen:\n%3").arg(action, m_def.name, detail);
}

// ---------------------------------------------------------------------------------------------
// Stored and typed values

// In memory a date-time is its local clock reading packed as the number yyyyMMddHHmmsszzz: no
// time-zone arithmetic, no text on the heap, and it sorts like the time it stands for. In the
// database it is the text "yyyy-MM-ddTHH:mm:ss.zzz".
qint64 TableObject::packDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0;
    const QDateTime local = dateTime.timeSpec() == Qt::LocalTime ? dateTime : dateTime.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    return ((((qint64(d.year()) * 100 + d.month()) * 100 + d.day()) * 100 + t.hour()) * 100 + t.minute()) * 100000 +
           t.second() * 1000 + t.msec();
}

namespace {

struct ClockReading
{
    int year, month, day, hour, minute, second, ms;
};

ClockReading split(qint64 packed)
{
    ClockReading r{};
    r.ms = int(packed % 1000);
    packed /= 1000;
    r.second = int(packed % 100);
    packed /= 100;
    r.minute = int(packed % 100);
    packed /= 100;
    r.hour = int(packed % 100);
    packed /= 100;
    r.day = int(packed % 100);
    packed /= 100;
    r.month = int(packed % 100);
    r.year = int(packed / 100);
    return r;
}

} // namespace

QDateTime TableObject::unpackDateTime(qint64 packed)
{
    const ClockReading r = split(packed);
    return QDateTime(QDate(r.year, r.month, r.day), QTime(r.hour, r.minute, r.second, r.ms));
}

QString TableObject::packedToText(qint64 packed)
{
    const ClockReading r = split(packed);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", r.year, r.month, r.day, r.hour, r.minute,
                  r.second, r.ms);
    return QString::fromLatin1(buffer);
}

qint64 TableObject::packStoredText(const QString& text)
{
    if (text.size() < 10)
        return 0;
    bool ok = true;
    const int year = digits(text, 0, 4, &ok);
    const int month = digits(text, 5, 2, &ok);
    const int day = digits(text, 8, 2, &ok);
    int hour = 0, minute = 0, second = 0, ms = 0;
    if (text.size() >= 19) {
        hour = digits(text, 11, 2, &ok);
        minute = digits(text, 14, 2, &ok);
        second = digits(text, 17, 2, &ok);
        if (text.size() >= 23)
            ms = digits(text, 20, 3, &ok);
    }
    if (ok && QDate::isValid(year, month, day) && QTime::isValid(hour, minute, second, ms))
        return ((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100000 + second * 1000 + ms;
    const QDateTime parsed = QDateTime::fromString(text, Qt::ISODateWithMs);
    return parsed.isValid() ? packDateTime(parsed) : 0;
}

QString TableObject::storedDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return {};
    return packedToText(packDateTime(dateTime));
}

QDateTime TableObject::parseStoredDateTime(const QString& text)
{
    const qint64 packed = packStoredText(text);
    return packed ? unpackDateTime(packed) : QDateTime();
}

QVariant TableObject::toStored(FieldType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return value.toString();
    case FieldType::Blob:
        return value.toByteArray();
    case FieldType::Integer:
    case FieldType::Counter:
    case FieldType::Decimal: {
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            bool ok = false;
            const qlonglong number = QLocale().toLongLong(text, &ok);
            if (ok)
                return number;
            const qlonglong plain = text.toLongLong(&ok);
            if (!ok)
                throw OrdnixError(QStringLiteral("„%1“ ist keine gültige ganze Zahl.").arg(text));
            return plain;
        }
        return value.toLongLong();
    }
    case FieldType::Float: {
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            bool ok = false;
            double number = QLocale().toDouble(text, &ok);
            if (!ok)
                number = text.toDouble(&ok);
            if (!ok)
                throw OrdnixError(QStringLiteral("„%1“ ist keine gültige Zahl.").arg(text));
            return number;
        }
        return value.toDouble();
    }
    case FieldType::DateTime:
        if (value.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            return dt.isValid() ? QVariant(packDateTime(dt)) : QVariant();
        }
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().isValid() ? QVariant(packDateTime(QDateTime(value.toDate(), QTime(0, 0))))
                                            : QVariant();
        if (value.typeId() == QMetaType::LongLong)
            return value;
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            for (const QString& format : {QStringLiteral("dd.MM.yyyy HH:mm:ss"), QStringLiteral("dd.MM.yyyy HH:mm"),
                                          QStringLiteral("dd.MM.yyyy")}) {
                const QDateTime parsed = QDateTime::fromString(text, format);
                if (parsed.isValid())
                    return packDateTime(parsed);
            }
            if (const qint64 packed = packStoredText(text))
                return packed;
            throw OrdnixError(QStringLiteral("„%1“ ist kein gültiges Datum.").arg(text));
        }
        return {};
    }
    return value;
}

QVariant TableObject::toTyped(FieldType type, const QVariant& stored)
{
    if (!stored.isValid())
        return {};
    switch (type) {
    case FieldType::DateTime:
        return unpackDateTime(stored.toLongLong());
    default:
        return stored;
    }
}

// ---------------------------------------------------------------------------------------------
// Opening and reading

void TableObject::requireActive() const
{
    if (m_state == State::Inactive)
        throw OrdnixError(QStringLiteral("Die Tabelle „%1“ ist nicht geöffnet.").arg(m_def.name));
}

void TableObject::requireCurrent() const
{
    requireActive();
    if (m_current < 0)
        throw OrdnixError(QStringLiteral("Die Tabelle „%1“ enthält keinen Datensatz.").arg(m_def.name));
}

void TableObject::open()
{
    if (m_state != State::Inactive)
        return;
    delete m_statements;
    m_statements = new Statements(QSqlDatabase::database(m_connection, false));
    const bool notify = !controlsDisabled();
    if (notify)
        beginResetModel();
    if (m_master) {
        m_filterValue = m_master->isActive() && m_master->recNo() >= 0
                            ? m_master->valueAt(m_master->recNo(), m_masterField)
                            : QVariant();
    }
    try {
        readRows();
    } catch (...) {
        m_rows.clear();
        if (notify)
            endResetModel();
        throw;
    }
    m_state = State::Browse;
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    if (notify)
        endResetModel();
    emit activeChanged(true);
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
    emit recordChanged();
}

void TableObject::readRows()
{
    m_rows.clear();
    m_blobs.clear();
    dropIndex();
    QStringList columns{QStringLiteral("rowid")};
    for (const FieldDef& field : m_def.fields)
        columns.append(field.type == FieldType::Blob ? QStringLiteral("NULL") : quoted(field.name));
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quoted(m_def.name));
    if (m_master)
        sql += QStringLiteral(" WHERE %1 = ?").arg(quoted(m_def.fields[m_detailField].name));
    sql += QStringLiteral(" ORDER BY rowid");

    if (m_statements->raw) {
        readRowsDirect(sql);
        noteCounters();
        return;
    }

    QSqlQuery query(m_statements->db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw OrdnixError(sqlError(QStringLiteral("Das Lesen"), query.lastError().text()));
    if (m_master)
        query.addBindValue(m_filterValue.isValid() ? m_filterValue : QVariant(QMetaType::fromType<qlonglong>()));
    if (!query.exec())
        throw OrdnixError(sqlError(QStringLiteral("Das Lesen"), query.lastError().text()));

    const int n = int(m_def.fields.size());
    QList<FieldType> types;
    for (const FieldDef& field : m_def.fields)
        types.append(field.type);
    while (query.next()) {
        Row row;
        row.rowId = query.value(0).toLongLong();
        row.values.resize(n);
        const Row* previous = m_rows.empty() ? nullptr : &m_rows.back();
        for (int i = 0; i < n; ++i) {
            const QVariant v = query.value(i + 1);
            if (v.isNull())
                continue;
            switch (types[i]) {
            case FieldType::DateTime:
                if (const qint64 packed = packStoredText(v.toString()))
                    row.values[i] = packed;
                break;
            case FieldType::Text:
            case FieldType::Memo: {
                QString text = v.toString();
                // Neighbouring rows often share a folder or a classification: share their text.
                if (previous && previous->values[i].typeId() == QMetaType::QString &&
                    previous->values[i].toString() == text)
                    row.values[i] = previous->values[i];
                else
                    row.values[i] = std::move(text);
                break;
            }
            case FieldType::Integer:
            case FieldType::Counter:
            case FieldType::Decimal:
                row.values[i] = v.toLongLong();
                break;
            case FieldType::Float:
                row.values[i] = v.toDouble();
                break;
            case FieldType::Blob:
                break;
            }
        }
        m_rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        throw OrdnixError(sqlError(QStringLiteral("Das Lesen"), query.lastError().text()));
    noteCounters();
}

void TableObject::noteCounters()
{
    // The counter is the table's rowid in every catalogue made here; a file made elsewhere may
    // keep its own numbers, and then a search by counter goes through the index like any other.
    m_counterIsRowId = m_counterField >= 0 && std::all_of(m_rows.begin(), m_rows.end(), [this](const Row& row) {
                           const QVariant& value = row.values[m_counterField];
                           return value.typeId() == QMetaType::LongLong &&
                                  *static_cast<const qlonglong*>(value.constData()) == row.rowId;
                       });
}

void TableObject::readRowsDirect(const QString& sql)
{
    RawStatement statement;
    sqlite3* db = m_statements->raw;
    if (!statement.prepare(db, sql))
        throw OrdnixError(sqlError(QStringLiteral("Das Lesen"), m_statements->rawError()));
    if (m_master)
        statement.bind(1, m_filterValue);
    sqlite3_stmt* st = statement.get();
    const int n = int(m_def.fields.size());
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Row row;
        row.rowId = sqlite3_column_int64(st, 0);
        row.values.resize(n);
        const Row* previous = m_rows.empty() ? nullptr : &m_rows.back();
        for (int i = 0; i < n; ++i) {
            const int column = i + 1;
            if (sqlite3_column_type(st, column) == SQLITE_NULL)
                continue;
            switch (m_def.fields[i].type) {
            case FieldType::Text:
            case FieldType::Memo: {
                const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
                QString text = QString::fromUtf8(bytes, sqlite3_column_bytes(st, column));
                // Neighbouring rows often share a folder or a classification: share their text.
                const QVariant& before = previous ? previous->values[i] : row.values[i];
                if (previous && before.typeId() == QMetaType::QString &&
                    *static_cast<const QString*>(before.constData()) == text)
                    row.values[i] = before;
                else
                    row.values[i] = std::move(text);
                break;
            }
            case FieldType::DateTime: {
                const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
                if (const qint64 packed = packStoredText(QString::fromLatin1(bytes, sqlite3_column_bytes(st, column))))
                    row.values[i] = packed;
                break;
            }
            case FieldType::Integer:
            case FieldType::Counter:
            case FieldType::Decimal:
                row.values[i] = qlonglong(sqlite3_column_int64(st, column));
                break;
            case FieldType::Float:
                row.values[i] = sqlite3_column_double(st, column);
                break;
            case FieldType::Blob:
                break;
            }
        }
        m_rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        throw OrdnixError(sqlError(QStringLiteral("Das Lesen"), m_statements->rawError()));
}

void TableObject::close()
{
    if (m_state == State::Inactive)
        return;
    settle();
    const bool notify = !controlsDisabled();
    if (notify)
        beginResetModel();
    m_rows.clear();
    m_blobs.clear();
    dropIndex();
    m_state = State::Inactive;
    m_current = -1;
    m_eof = m_bof = true;
    delete m_statements;
    m_statements = nullptr;
    if (notify)
        endResetModel();
    emit activeChanged(false);
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
}

void TableObject::refresh()
{
    if (m_state == State::Inactive) {
        open();
        return;
    }
    settle();
    const qint64 currentId = m_current >= 0 ? m_rows[m_current].rowId : -1;
    const int oldCurrent = m_current;
    const bool notify = !controlsDisabled();
    if (notify)
        beginResetModel();
    try {
        readRows();
    } catch (...) {
        m_rows.clear();
        m_current = -1;
        if (notify)
            endResetModel();
        throw;
    }
    int row = currentId >= 0 ? rowOfRowId(currentId) : -1;
    if (row < 0 && !m_rows.empty())
        row = std::clamp(oldCurrent, 0, int(m_rows.size()) - 1);
    m_current = m_rows.empty() ? -1 : row;
    m_bof = m_current <= 0;
    m_eof = m_rows.empty();
    if (notify)
        endResetModel();
    emit currentRowChanged(m_current);
    emit recordChanged();
    updateMasterFilter();
}

// ---------------------------------------------------------------------------------------------
// Cursor

void TableObject::setCurrent(int row, bool notify)
{
    const bool changed = row != m_current;
    m_current = row;
    if (notify && changed && !m_quiet) {
        emit currentRowChanged(m_current);
        emit recordChanged();
        updateMasterFilter();
    }
}

void TableObject::first()
{
    requireActive();
    settle();
    setCurrent(m_rows.empty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.empty();
}

void TableObject::last()
{
    requireActive();
    settle();
    setCurrent(int(m_rows.size()) - 1);
    m_eof = true;
    m_bof = m_rows.empty();
}

void TableObject::next()
{
    moveBy(1);
}

void TableObject::prior()
{
    moveBy(-1);
}

void TableObject::moveBy(int distance)
{
    requireActive();
    settle();
    if (m_rows.empty()) {
        m_eof = m_bof = true;
        return;
    }
    const int count = int(m_rows.size());
    const int target = m_current + distance;
    if (distance > 0) {
        m_bof = false;
        if (target >= count) {
            m_eof = true;
            setCurrent(count - 1);
            return;
        }
        m_eof = false;
    } else if (distance < 0) {
        m_eof = false;
        if (target < 0) {
            m_bof = true;
            setCurrent(0);
            return;
        }
        m_bof = false;
    }
    setCurrent(target);
}

void TableObject::moveTo(int row)
{
    requireActive();
    if (m_dropping)
        return;
    if (row == m_current && m_current >= 0)
        return; // staying on the record keeps its pending edit open
    settle();
    if (m_rows.empty())
        return;
    row = std::clamp(row, 0, int(m_rows.size()) - 1);
    m_bof = m_eof = false;
    setCurrent(row);
}

namespace {

// Room for the text of a key value that is not a string.
struct KeyScratch
{
    char16_t digits[24];
    QString text;
};

// The text a key field is compared by. Strings, the common case, are read in place; whole
// numbers (counters are keys too) are written out as toString() would, without allocating.
QStringView keyText(const QVariant& value, KeyScratch& scratch)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return *static_cast<const QString*>(value.constData());
    case QMetaType::LongLong:
    case QMetaType::Int: {
        const qint64 number = value.typeId() == QMetaType::Int ? *static_cast<const int*>(value.constData())
                                                               : *static_cast<const qlonglong*>(value.constData());
        quint64 magnitude = number < 0 ? 0 - quint64(number) : quint64(number);
        char16_t* const end = scratch.digits + std::size(scratch.digits);
        char16_t* p = end;
        do {
            *--p = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (number < 0)
            *--p = u'-';
        return QStringView(p, end - p);
    }
    default:
        scratch.text = value.toString();
        return scratch.text;
    }
}

size_t combineKeyHash(size_t hash, QStringView text)
{
    return qHash(text, hash) ^ (hash * 0x9E3779B97F4A7C15ULL);
}

} // namespace

size_t TableObject::rowKeyHash(const Row& row) const
{
    size_t hash = 0;
    KeyScratch scratch;
    for (int field : m_indexFields)
        hash = combineKeyHash(hash, keyText(row.values[field], scratch));
    return hash;
}

bool TableObject::rowHasKey(const Row& row, const QVariant* key) const
{
    KeyScratch a;
    KeyScratch b;
    for (int i = 0; i < m_indexFields.size(); ++i) {
        if (keyText(row.values[m_indexFields[i]], a) != keyText(key[i], b))
            return false;
    }
    return true;
}

void TableObject::indexRow(int row)
{
    if (size_t(m_keyCount + 1) * 2 > m_keySlots.size()) {
        // Grow: the rows are put in again in table order, so the first of equal keys stays.
        size_t size = 64;
        while (size < size_t(m_keyCount + 1) * 2)
            size *= 2;
        const std::vector<KeySlot> previous = std::exchange(m_keySlots, std::vector<KeySlot>(size * 2));
        m_keyCount = 0;
        for (const KeySlot& slot : previous) {
            if (slot.row >= 0) {
                size_t i = slot.hash & (m_keySlots.size() - 1);
                while (m_keySlots[i].row >= 0)
                    i = (i + 1) & (m_keySlots.size() - 1);
                m_keySlots[i] = slot;
                ++m_keyCount;
            }
        }
    }
    const Row& r = m_rows[size_t(row)];
    const size_t hash = rowKeyHash(r);
    QVarLengthArray<QVariant, 4> key;
    for (int field : std::as_const(m_indexFields))
        key.append(r.values[field]);
    const size_t mask = m_keySlots.size() - 1;
    size_t i = hash & mask;
    while (m_keySlots[i].row >= 0) {
        if (m_keySlots[i].hash == hash && rowHasKey(m_rows[size_t(m_keySlots[i].row)], key.constData()))
            return; // an earlier row has this key
        i = (i + 1) & mask;
    }
    m_keySlots[i] = {hash, row};
    ++m_keyCount;
}

void TableObject::buildIndex(const QList<int>& fields)
{
    dropIndex();
    m_indexFields = fields;
    size_t size = 64;
    while (size < m_rows.size() * 2 + 2)
        size *= 2;
    m_keySlots.assign(size, KeySlot());
    for (size_t row = 0; row < m_rows.size(); ++row)
        indexRow(int(row));
}

bool TableObject::locate(const QString& fieldList, const QVariantList& values)
{
    requireActive();
    if (fieldList != m_lastFieldList || m_lastFields.isEmpty()) {
        QList<int> fields;
        for (const QString& name : fieldList.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            fields.append(fieldIndex(name));
        m_lastFields = fields;
        m_lastFieldList = fieldList;
    }
    return locateFields(m_lastFields, values);
}

bool TableObject::locate(const QStringList& fieldNames, const QVariantList& values)
{
    requireActive();
    QList<int> fields;
    for (const QString& name : fieldNames)
        fields.append(fieldIndex(name));
    return locateFields(fields, values);
}

bool TableObject::locateFields(const QList<int>& fields, const QVariantList& values)
{
    if (fields.size() != values.size() || fields.isEmpty())
        throw OrdnixError(QStringLiteral("Suche in „%1“: Felder und Werte passen nicht zusammen.").arg(m_def.name));
    settle();
    if (m_counterIsRowId && fields.size() == 1 && fields.first() == m_counterField) {
        // Rows are kept in rowid order: a binary search, no index to build.
        const QVariant number = toStored(FieldType::Counter, values.first());
        const int row = number.isValid() ? rowOfRowId(number.toLongLong()) : -1;
        if (row < 0)
            return false;
        m_bof = m_eof = false;
        setCurrent(row);
        return true;
    }
    QVarLengthArray<QVariant, 4> key;
    size_t hash = 0;
    KeyScratch scratch;
    for (int i = 0; i < fields.size(); ++i) {
        key.append(toStored(m_def.fields[fields[i]].type, values[i]));
        hash = combineKeyHash(hash, keyText(key.back(), scratch));
    }
    if (m_indexFields != fields || m_keySlots.empty())
        buildIndex(fields);
    const size_t mask = m_keySlots.size() - 1;
    for (size_t i = hash & mask; m_keySlots[i].row >= 0; i = (i + 1) & mask) {
        const KeySlot& slot = m_keySlots[i];
        if (slot.hash == hash && rowHasKey(m_rows[size_t(slot.row)], key.constData())) {
            m_bof = m_eof = false;
            setCurrent(slot.row);
            return true;
        }
    }
    return false;
}

qint64 TableObject::rowIdAt(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[row].rowId : -1;
}

int TableObject::rowOfRowId(qint64 rowId) const
{
    // Rows are kept in rowid order: new rows always get a larger rowid than every existing one.
    const auto it =
        std::lower_bound(m_rows.begin(), m_rows.end(), rowId, [](const Row& row, qint64 id) { return row.rowId < id; });
    if (it == m_rows.end() || it->rowId != rowId)
        return -1;
    return int(it - m_rows.begin());
}

// ---------------------------------------------------------------------------------------------
// Editing

void TableObject::settle()
{
    if (m_dropping)
        return;
    if (m_state == State::Edit || m_state == State::Insert) {
        if (isModified())
            post();
        else
            cancel();
    }
}

void TableObject::append()
{
    requireActive();
    settle();
    const int row = int(m_rows.size());
    if (!controlsDisabled())
        beginInsertRows({}, row, row);
    m_buffer = QList<QVariant>(m_def.fields.size());
    m_modified = QBitArray(int(m_def.fields.size()));
    m_state = State::Insert;
    m_current = row;
    m_eof = m_bof = false;
    if (m_master) {
        // The link value comes first, before any other field is written. It is no change of the
        // user's: a new row that gets nothing else is dropped when the cursor moves on.
        m_buffer[m_detailField] = m_filterValue;
    }
    if (!controlsDisabled())
        endInsertRows();
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
    emit recordChanged();
    updateMasterFilter(); // a row not yet stored has no contents
}

void TableObject::edit()
{
    requireCurrent();
    if (m_state != State::Browse)
        return;
    // Pictures stay where they are until one is changed; reading shows the stored one.
    m_buffer = m_rows[m_current].values;
    m_modified = QBitArray(int(m_def.fields.size()));
    m_state = State::Edit;
    if (!m_quiet)
        emit stateChanged(m_state);
}

void TableObject::setValue(const QString& field, const QVariant& value)
{
    setValue(fieldIndex(field), value);
}

void TableObject::setValue(int field, const QVariant& value)
{
    const FieldDef& def = m_def.fields[field];
    if (def.type == FieldType::Counter)
        throw OrdnixError(
            QStringLiteral("Das Feld „%1“ der Tabelle „%2“ kann nicht geändert werden.").arg(def.name, m_def.name));
    if (m_state == State::Browse)
        edit();
    if (m_state != State::Edit && m_state != State::Insert)
        requireCurrent();
    const QVariant stored = toStored(def.type, value);
    // A picture not yet changed is not in the buffer; compare with the stored one.
    const QVariant before = storedAt(m_current, field);
    if (stored == before && stored.isValid() == before.isValid())
        return;
    m_buffer[field] = stored;
    m_modified.setBit(field);
    if (!controlsDisabled()) {
        const QModelIndex cell = index(m_current, field);
        emit dataChanged(cell, cell);
    }
    if (!m_quiet)
        emit recordChanged();
}

QString TableObject::insertStatement() const
{
    QStringList names, marks;
    for (const FieldDef& field : m_def.fields) {
        if (field.type == FieldType::Counter)
            continue;
        names.append(quoted(field.name));
        marks.append(QStringLiteral("?"));
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quoted(m_def.name), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

qint64 TableObject::insertRow()
{
    const int n = int(m_def.fields.size());
    if (sqlite3* db = m_statements->raw) {
        RawStatement& st = m_statements->rawInsert;
        if (!st.isPrepared() && !st.prepare(db, insertStatement()))
            throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), m_statements->rawError()));
        int pos = 1;
        for (int i = 0; i < n; ++i) {
            if (m_def.fields[i].type != FieldType::Counter)
                st.bind(pos++, databaseValue(i, m_buffer[i]));
        }
        const QString error = m_statements->runWrite(st);
        if (!error.isEmpty())
            throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), error));
        return sqlite3_last_insert_rowid(db);
    }
    QSqlQuery& q = m_statements->insert;
    if (!m_statements->insertPrepared) {
        if (!q.prepare(insertStatement()))
            throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), q.lastError().text()));
        m_statements->insertPrepared = true;
    }
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        if (m_def.fields[i].type != FieldType::Counter)
            q.bindValue(pos++, databaseValue(i, m_buffer[i]));
    }
    if (!q.exec())
        throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), q.lastError().text()));
    return q.lastInsertId().toLongLong();
}

void TableObject::updateRow(qint64 rowId, const QList<int>& changed, const QString& mask)
{
    QStringList sets;
    for (int i : changed)
        sets.append(quoted(m_def.fields[i].name) + QLatin1String(" = ?"));
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(quoted(m_def.name), sets.join(QLatin1Char(',')));
    if (sqlite3* db = m_statements->raw) {
        RawStatement& st = m_statements->rawUpdates[mask];
        if (!st.isPrepared() && !st.prepare(db, sql))
            throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), m_statements->rawError()));
        int pos = 1;
        for (int i : changed)
            st.bind(pos++, databaseValue(i, m_buffer[i]));
        st.bind(pos, rowId);
        const QString error = m_statements->runWrite(st);
        if (!error.isEmpty())
            throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), error));
        return;
    }
    auto it = m_statements->updates.find(mask);
    if (it == m_statements->updates.end()) {
        QSqlQuery q(m_statements->db);
        if (!q.prepare(sql))
            throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), q.lastError().text()));
        it = m_statements->updates.emplace(mask, std::move(q)).first;
    }
    QSqlQuery& q = it->second;
    int pos = 0;
    for (int i : changed)
        q.bindValue(pos++, databaseValue(i, m_buffer[i]));
    q.bindValue(pos, rowId);
    if (!q.exec())
        throw OrdnixError(sqlError(QStringLiteral("Das Speichern"), q.lastError().text()));
}

void TableObject::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (!m_statements)
        requireActive();
    const int n = int(m_def.fields.size());
    if (m_state == State::Insert) {
        Row row;
        row.rowId = insertRow();
        row.values = m_buffer;
        for (int i = 0; i < n; ++i) {
            if (m_def.fields[i].type == FieldType::Counter)
                row.values[i] = row.rowId;
        }
        if (!m_def.assignedField.isEmpty()) {
            const int f = m_def.fieldIndex(m_def.assignedField);
            if (!row.values[f].isValid()) {
                QSqlQuery read(m_statements->db);
                read.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                 .arg(quoted(m_def.assignedField), quoted(m_def.name)));
                read.addBindValue(row.rowId);
                if (read.exec() && read.next() && !read.value(0).isNull())
                    row.values[f] = read.value(0).toLongLong();
            }
        }
        for (int f : std::as_const(m_blobFields)) {
            // Only a picture worth keeping is cached; an empty one is read as empty on demand.
            if (row.values[f].isValid())
                m_blobs[row.rowId][f] = row.values[f];
            row.values[f] = QVariant();
        }
        m_rows.push_back(std::move(row));
        m_current = int(m_rows.size()) - 1;
        if (!m_indexFields.isEmpty())
            indexRow(m_current);
    } else {
        QList<int> changed;
        QString mask;
        for (int i = 0; i < n; ++i) {
            if (m_modified.testBit(i)) {
                changed.append(i);
                mask += QString::number(i) + QLatin1Char(',');
            }
        }
        if (!changed.isEmpty()) {
            updateRow(m_rows[m_current].rowId, changed, mask);
            Row& row = m_rows[m_current];
            for (int i : changed) {
                if (m_blobFields.contains(i))
                    m_blobs[row.rowId][i] = m_buffer[i];
                else
                    row.values[i] = m_buffer[i];
                if (m_indexFields.contains(i))
                    dropIndex();
            }
        }
    }
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
    m_bof = m_eof = false;
    emitRowChanged(m_current);
    if (!m_quiet) {
        emit stateChanged(m_state);
        emit recordChanged();
    }
    emit posted(m_current);
    updateMasterFilter();
}

void TableObject::cancel()
{
    if (m_state == State::Insert) {
        const int row = int(m_rows.size());
        // Views react to the removal by moving their current row; that must not save the row
        // being dropped.
        m_dropping = true;
        if (!controlsDisabled())
            beginRemoveRows({}, row, row);
        m_state = State::Browse;
        m_buffer.clear();
        m_modified.clear();
        m_current = m_rows.empty() ? -1 : int(m_rows.size()) - 1;
        m_eof = m_bof = m_rows.empty();
        if (!controlsDisabled())
            endRemoveRows();
        m_dropping = false;
        emit stateChanged(m_state);
        emit currentRowChanged(m_current);
        emit recordChanged();
        updateMasterFilter();
        return;
    }
    if (m_state != State::Edit)
        return;
    const bool wasModified = isModified();
    m_state = State::Browse;
    m_buffer.clear();
    m_modified.clear();
    if (wasModified)
        emitRowChanged(m_current);
    emit stateChanged(m_state);
    emit recordChanged();
}

void TableObject::deleteRow(qint64 rowId)
{
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(m_def.name));
    if (sqlite3* db = m_statements->raw) {
        RawStatement& st = m_statements->rawRemove;
        if (!st.isPrepared() && !st.prepare(db, sql))
            throw OrdnixError(sqlError(QStringLiteral("Das Löschen"), m_statements->rawError()));
        st.bind(1, rowId);
        const QString error = m_statements->runWrite(st);
        if (!error.isEmpty())
            throw OrdnixError(sqlError(QStringLiteral("Das Löschen"), error));
        return;
    }
    if (!m_statements->removePrepared) {
        if (!m_statements->remove.prepare(sql))
            throw OrdnixError(sqlError(QStringLiteral("Das Löschen"), m_statements->remove.lastError().text()));
        m_statements->removePrepared = true;
    }
    m_statements->remove.bindValue(0, rowId);
    if (!m_statements->remove.exec())
        throw OrdnixError(sqlError(QStringLiteral("Das Löschen"), m_statements->remove.lastError().text()));
}

void TableObject::deleteRecord()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    requireCurrent();
    if (m_state == State::Edit)
        cancel();
    deleteRow(m_rows[m_current].rowId);
    const int row = m_current;
    m_dropping = true;
    if (!controlsDisabled())
        beginRemoveRows({}, row, row);
    m_blobs.remove(m_rows[row].rowId);
    m_rows.erase(m_rows.begin() + row);
    dropIndex();
    m_current = m_rows.empty() ? -1 : std::min(row, int(m_rows.size()) - 1);
    m_eof = m_rows.empty();
    m_bof = m_current <= 0;
    if (!controlsDisabled())
        endRemoveRows();
    m_dropping = false;
    emit currentRowChanged(m_current);
    emit recordChanged();
    updateMasterFilter();
}

// ---------------------------------------------------------------------------------------------
// Values

const TableObject::Row* TableObject::committedRow(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? &m_rows[row] : nullptr;
}

void TableObject::loadBlob(int row, int field) const
{
    const Row* r = committedRow(row);
    if (!r || !m_statements)
        return;
    if (const auto it = m_blobs.constFind(r->rowId); it != m_blobs.constEnd() && it->contains(field))
        return;
    // Pictures are read when they are shown. Only a few stay: browsing a large table must not
    // gather them all in memory, and every one of them is in the database.
    if (m_blobs.size() >= 64)
        m_blobs.clear();
    // Read while views paint: a picture that cannot be read shows as none, as an empty one does.
    QVariant value;
    auto sql = [this, field] {
        return QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
            .arg(quoted(m_def.fields[field].name), quoted(m_def.name));
    };
    RawStatement* statement = nullptr;
    if (m_statements->raw) {
        statement = &m_statements->rawBlobs[field];
        if (!statement->isPrepared() && !statement->prepare(m_statements->raw, sql()))
            statement = nullptr;
    }
    if (statement) {
        sqlite3_stmt* st = statement->get();
        sqlite3_bind_int64(st, 1, r->rowId);
        if (statement->step() == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
            value = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)), sqlite3_column_bytes(st, 0));
        statement->reset();
    } else {
        QSqlQuery q(m_statements->db);
        q.prepare(sql());
        q.addBindValue(r->rowId);
        if (q.exec() && q.next() && !q.value(0).isNull())
            value = q.value(0).toByteArray();
    }
    m_blobs[r->rowId].insert(field, value);
}

QVariant TableObject::storedAt(int row, int field) const
{
    if (field < 0 || field >= m_def.fields.size())
        return {};
    if ((m_state == State::Edit || m_state == State::Insert) && row == m_current &&
        !(m_state == State::Edit && m_def.fields[field].type == FieldType::Blob && !m_modified.testBit(field)))
        return m_buffer.value(field);
    const Row* r = committedRow(row);
    if (!r)
        return {};
    if (m_def.fields[field].type == FieldType::Blob) {
        loadBlob(row, field);
        return m_blobs.value(r->rowId).value(field);
    }
    return r->values[field];
}

QVariant TableObject::valueAt(int row, int field) const
{
    if (field < 0 || field >= m_def.fields.size())
        return {};
    return toTyped(m_def.fields[field].type, storedAt(row, field));
}

QVariant TableObject::value(int field) const
{
    if (m_current < 0)
        return {};
    return valueAt(m_current, field);
}

QVariant TableObject::value(const QString& field) const
{
    return value(fieldIndex(field));
}

QString TableObject::displayText(int row, int field) const
{
    const QVariant stored = storedAt(row, field);
    if (!stored.isValid())
        return {};
    switch (m_def.fields[field].type) {
    case FieldType::Float: {
        const double v = stored.toDouble();
        if (std::floor(v) == v && std::fabs(v) < 1e15)
            return QString::number(qint64(v));
        return QLocale().toString(v, 'g', 15);
    }
    case FieldType::DateTime: {
        const QDateTime dt = unpackDateTime(stored.toLongLong());
        if (!dt.isValid())
            return stored.toString();
        if (dt.time() == QTime(0, 0))
            return dt.toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    case FieldType::Blob:
        return stored.toByteArray().isEmpty() ? QString() : QStringLiteral("(Bild)");
    default:
        return stored.toString();
    }
}

void TableObject::emitRowChanged(int row)
{
    if (controlsDisabled() || row < 0 || row >= rowCount())
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

// ---------------------------------------------------------------------------------------------
// Controls and master link

void TableObject::beginQuietMoves()
{
    ++m_quietDepth;
    m_quiet = true;
}

void TableObject::endQuietMoves()
{
    if (m_quietDepth == 0 || --m_quietDepth > 0)
        return;
    m_quiet = false;
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
    emit recordChanged();
    updateMasterFilter();
}

void TableObject::disableControls()
{
    if (m_disableCount++ == 0) {
        beginResetModel();
        emit controlsEnabledChanged(false);
    }
}

void TableObject::enableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0) {
        endResetModel();
        emit controlsEnabledChanged(true);
        emit currentRowChanged(m_current);
        emit recordChanged();
        updateMasterFilter();
    }
}

void TableObject::setMasterLink(TableObject* master, const QString& masterField, const QString& detailField)
{
    m_master = master;
    master->m_details.append(this);
    m_masterField = master->fieldIndex(masterField);
    m_detailField = fieldIndex(detailField);
}

void TableObject::updateMasterFilter()
{
    // Every detail that follows this table re-reads when the link value moved.
    for (const QPointer<TableObject>& detail : std::as_const(m_details)) {
        if (!detail || !detail->isActive())
            continue;
        const QVariant value =
            m_current >= 0 && m_state != State::Insert ? valueAt(m_current, detail->m_masterField) : QVariant();
        if (value == detail->m_filterValue && value.isValid() == detail->m_filterValue.isValid())
            continue;
        detail->settle();
        detail->m_filterValue = value;
        detail->reloadForMaster();
    }
}

void TableObject::reloadForMaster()
{
    const bool notify = !controlsDisabled();
    if (notify)
        beginResetModel();
    try {
        readRows();
    } catch (...) {
        m_rows.clear();
        m_current = -1;
        if (notify)
            endResetModel();
        throw;
    }
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    if (notify)
        endResetModel();
    emit currentRowChanged(m_current);
    emit recordChanged();
}

// ---------------------------------------------------------------------------------------------
// Model

int TableObject::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_rows.size()) + (m_state == State::Insert ? 1 : 0);
}

int TableObject::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_def.fields.size());
}

QVariant TableObject::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
        return valueAt(index.row(), index.column());
    case RawRole:
        return storedAt(index.row(), index.column());
    default:
        return {};
    }
}

bool TableObject::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    moveTo(index.row());
    setValue(index.column(), value);
    post();
    return true;
}

Qt::ItemFlags TableObject::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (m_def.fields[index.column()].type != FieldType::Counter)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TableObject::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_def.fields.size())
        return m_def.fields[section].name;
    return QAbstractTableModel::headerData(section, orientation, role);
}
