#pragma once

#include "data/Schema.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QVariant>

#include <vector>

// The record set of one catalogue table: all its rows in table order, a current record, and a
// per-record edit buffer. Views see it as a table model; data-bound editors follow its cursor.
//
// Moving the cursor, closing or re-reading first settles a pending edit: it is posted when a
// field changed and cancelled otherwise. Every post is written to the database at once. Failures
// raise OrdnixError naming the table; the edit buffer is kept so that nothing typed is lost.
class TableObject : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert,
    };

    // The stored value (dates as packed local-time numbers); sorting compares this.
    static constexpr int RawRole = Qt::UserRole + 1;

    explicit TableObject(const TableDef& definition, QObject* parent = nullptr);
    ~TableObject() override;

    const TableDef& definition() const { return m_def; }
    const QString& tableName() const { return m_def.name; }
    int fieldIndex(const QString& field) const; // throws for an unknown field
    int fieldCount() const { return int(m_def.fields.size()); }

    void setConnectionName(const QString& connectionName) { m_connection = connectionName; }

    void open();
    void close();
    void refresh(); // close and open again, keeping the current record where it still exists
    bool isActive() const { return m_state != State::Inactive; }

    // Cursor. Positions are rows in table order, 0-based; -1 when the table is empty.
    int recNo() const { return m_current; }
    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty() && m_state != State::Insert; }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    void moveTo(int row);
    // Moves to the first record, in table order, whose fields equal the values exactly.
    bool locate(const QStringList& fields, const QVariantList& values);
    bool locate(const QString& fieldList, const QVariantList& values); // "Dateipfad;Dateiname"
    qint64 rowIdAt(int row) const;
    int rowOfRowId(qint64 rowId) const; // -1 when not present

    // Editing the current record.
    State state() const { return m_state; }
    bool isModified() const { return m_modified.count(true) > 0; }
    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    QVariant value(const QString& field) const;
    QVariant value(int field) const;
    void setValue(const QString& field, const QVariant& value); // enters edit mode when browsing
    void setValue(int field, const QVariant& value);

    // Any record, in table order, as committed (the edit buffer for the current one).
    QVariant valueAt(int row, int field) const;
    QString displayText(int row, int field) const;

    // Long runs switch bound views off: no per-row updates until the last enable.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // A run that walks many records while its views stay live: changed values still reach the
    // views row by row, but the cursor and edit-state notices are sent once, at the end.
    void beginQuietMoves();
    void endQuietMoves();

    // Makes this table the detail of master: it holds only the rows whose detailField equals the
    // master's current masterField, and a new row gets that value first.
    void setMasterLink(TableObject* master, const QString& masterField, const QString& detailField);
    TableObject* master() const { return m_master; }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Conversions between stored and typed values.
    static QVariant toStored(FieldType type, const QVariant& value);
    static QVariant toTyped(FieldType type, const QVariant& stored);
    // Date-times: the database's text form, and the packed number kept in memory.
    static QString storedDateTime(const QDateTime& dateTime);
    static QDateTime parseStoredDateTime(const QString& text);
    static qint64 packDateTime(const QDateTime& dateTime);
    static QDateTime unpackDateTime(qint64 packed);
    static QString packedToText(qint64 packed);
    static qint64 packStoredText(const QString& text); // 0 when the text is no date

signals:
    void currentRowChanged(int row);
    void stateChanged(TableObject::State state);
    void recordChanged(); // a value of the current record changed, or the record was re-read
    void activeChanged(bool active);
    void controlsEnabledChanged(bool enabled);
    void posted(int row);

private:
    struct Row
    {
        qint64 rowId = 0;
        QList<QVariant> values;
    };

    void readRows();
    void noteCounters();
    void readRowsDirect(const QString& sql);
    QString insertStatement() const;
    qint64 insertRow();
    void updateRow(qint64 rowId, const QList<int>& changed, const QString& mask);
    void deleteRow(qint64 rowId);
    void settle();
    void setCurrent(int row, bool notify = true);
    void requireActive() const;
    void requireCurrent() const;
    const Row* committedRow(int row) const;
    QVariant storedAt(int row, int field) const;
    void loadBlob(int row, int field) const;
    QString sqlError(const QString& action, const QString& detail) const;
    QVariant databaseValue(int field, const QVariant& stored) const;
    void emitRowChanged(int row);
    void updateMasterFilter();
    void reloadForMaster();
    // The locate index: open addressing over row positions, keyed by a hash of the key fields'
    // texts. Rows only ever join at the end; anything else that moves rows drops the index.
    struct KeySlot
    {
        size_t hash = 0;
        int row = -1; // -1: free
    };
    void dropIndex()
    {
        m_indexFields.clear();
        m_keySlots.clear();
        m_keyCount = 0;
    }
    bool locateFields(const QList<int>& fields, const QVariantList& values);
    void buildIndex(const QList<int>& fields);
    void indexRow(int row); // keeps an earlier row with the same key
    size_t rowKeyHash(const Row& row) const;
    bool rowHasKey(const Row& row, const QVariant* key) const; // key: one value per index field

    TableDef m_def;
    QHash<QString, int> m_fieldIndex; // exact field names; other spellings fall back to a search
    QString m_connection;
    State m_state = State::Inactive;
    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    QList<QVariant> m_buffer; // stored values of the record being edited or inserted
    QBitArray m_modified;
    int m_disableCount = 0;
    bool m_dropping = false; // a row is leaving the model
    bool m_quiet = false;
    int m_quietDepth = 0;
    QList<int> m_blobFields;
    mutable QHash<qint64, QHash<int, QVariant>> m_blobs; // fetched on first use

    QPointer<TableObject> m_master;
    int m_masterField = -1;
    int m_detailField = -1;
    QVariant m_filterValue;
    QList<QPointer<TableObject>> m_details;

    int m_counterField = -1;
    bool m_counterIsRowId = false; // every row's counter equals its rowid
    QList<int> m_indexFields;
    std::vector<KeySlot> m_keySlots; // size a power of two, at most half full
    int m_keyCount = 0;
    QString m_lastFieldList; // the field list of the last locate, already looked up
    QList<int> m_lastFields;

    class Statements;
    Statements* m_statements = nullptr;
};
