#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class LookupCombo;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;
class TableObject;

// Editors bound to fields of a table object's current record: they show its values, and what
// the user types goes into the record's edit buffer (posted when the cursor moves on).
class FieldBinding : public QObject
{
    Q_OBJECT

public:
    explicit FieldBinding(TableObject* table, QObject* parent = nullptr);

    void bindLineEdit(QLineEdit* edit, const QString& field, bool readOnly = false);
    void bindCombo(QComboBox* combo, const QString& field); // fixed lists and lookups
    void bindMemo(QPlainTextEdit* memo, const QString& field);
    void bindPicture(QLabel* label, const QString& field); // a JPEG held in a binary field
    void bindSpinBox(QSpinBox* spin, const QString& field);

    // Typing into an empty table starts its first record instead of being refused.
    void setAppendWhenEmpty(bool on) { m_appendWhenEmpty = on; }

    void refresh();

private:
    struct Binding
    {
        QPointer<QWidget> editor;
        int field;
        std::function<void()> show;
    };
    void write(int field, const QVariant& value);

    TableObject* m_table;
    QList<Binding> m_bindings;
    bool m_showing = false;
    bool m_appendWhenEmpty = false;
};
