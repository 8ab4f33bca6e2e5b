#include "gridtools/FieldBinding.h"

#include "data/TableObject.h"
#include "gridtools/LookupCombo.h"
#include "platform/CommandGuard.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSpinBox>

FieldBinding::FieldBinding(TableObject* table, QObject* parent)
    : QObject(parent)
    , m_table(table)
{
    connect(m_table, &TableObject::recordChanged, this, &FieldBinding::refresh);
    connect(m_table, &TableObject::activeChanged, this, &FieldBinding::refresh);
    connect(m_table, &TableObject::controlsEnabledChanged, this, &FieldBinding::refresh);
}

void FieldBinding::write(int field, const QVariant& value)
{
    if (m_showing || !m_table->isActive())
        return;
    if (m_table->isEmpty() && !m_appendWhenEmpty)
        return;
    CommandGuard::run([&] {
        if (m_table->isEmpty())
            m_table->append();
        const QVariant current = m_table->value(field);
        if (current.toString() == value.toString() && current.isValid() == value.isValid())
            return;
        m_table->setValue(field, value);
    });
}

void FieldBinding::bindLineEdit(QLineEdit* edit, const QString& field, bool readOnly)
{
    const int f = m_table->fieldIndex(field);
    const FieldDef& def = m_table->definition().fields[f];
    if (def.type == FieldType::Text)
        edit->setMaxLength(def.size);
    edit->setReadOnly(readOnly);
    if (!readOnly) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, f](const QString& text) { write(f, text.isEmpty() ? QVariant() : QVariant(text)); });
    }
    m_bindings.append({edit, f, [this, edit, f] {
                           const QString text =
                               m_table->isEmpty() ? QString() : m_table->displayText(m_table->recNo(), f);
                           if (edit->text() != text)
                               edit->setText(text);
                       }});
    m_bindings.last().show();
}

void FieldBinding::bindCombo(QComboBox* combo, const QString& field)
{
    const int f = m_table->fieldIndex(field);
    const FieldDef& def = m_table->definition().fields[f];
    if (combo->isEditable()) {
        if (def.type == FieldType::Text && combo->lineEdit())
            combo->lineEdit()->setMaxLength(def.size);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                [this, f](const QString& text) { write(f, text.isEmpty() ? QVariant() : QVariant(text)); });
        if (auto* lookup = qobject_cast<LookupCombo*>(combo)) {
            connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this, lookup] {
                const QString text = lookup->currentText();
                const QString handler = lookup->binding().newValueHandler;
                if (m_showing || text.isEmpty() || handler.isEmpty() || lookup->listContains(text))
                    return;
                CommandGuard::run([&] { LookupHandlers::run(handler, text); });
            });
        }
    }
    connect(combo, &QComboBox::activated, this, [this, combo, f](int) {
        const QString text = combo->currentText();
        write(f, text.isEmpty() ? QVariant() : QVariant(text));
    });
    m_bindings.append({combo, f, [this, combo, f] {
                           const QString text =
                               m_table->isEmpty() ? QString() : m_table->displayText(m_table->recNo(), f);
                           if (combo->currentText() == text)
                               return;
                           const int found = combo->findText(text, Qt::MatchExactly);
                           combo->setCurrentIndex(found);
                           if (combo->isEditable())
                               combo->setEditText(text);
                       }});
    // A lookup list read again resets the drop-down, which clears its text; the record still holds it.
    connect(combo->model(), &QAbstractItemModel::modelReset, this,
            [this, editor = QPointer<QComboBox>(combo), show = m_bindings.last().show] {
                if (!editor || m_table->controlsDisabled())
                    return;
                const QScopedValueRollback<bool> showing(m_showing, true);
                show();
            });
    m_bindings.last().show();
}

void FieldBinding::bindMemo(QPlainTextEdit* memo, const QString& field)
{
    const int f = m_table->fieldIndex(field);
    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo, f] {
        const QString text = memo->toPlainText();
        write(f, text.isEmpty() ? QVariant() : QVariant(text));
    });
    m_bindings.append({memo, f, [this, memo, f] {
                           const QString text = m_table->isEmpty() ? QString() : m_table->value(f).toString();
                           if (memo->toPlainText() != text)
                               memo->setPlainText(text);
                       }});
    m_bindings.last().show();
}

void FieldBinding::bindPicture(QLabel* label, const QString& field)
{
    const int f = m_table->fieldIndex(field);
    label->setScaledContents(true);
    m_bindings.append({label, f, [this, label, f] {
                           QPixmap picture;
                           if (!m_table->isEmpty())
                               picture.loadFromData(m_table->value(f).toByteArray());
                           label->setPixmap(picture);
                       }});
    m_bindings.last().show();
}

void FieldBinding::bindSpinBox(QSpinBox* spin, const QString& field)
{
    const int f = m_table->fieldIndex(field);
    connect(spin, &QSpinBox::valueChanged, this, [this, f](int value) { write(f, value); });
    m_bindings.append({spin, f, [this, spin, f] {
                           const QVariant value = m_table->isEmpty() ? QVariant() : m_table->value(f);
                           spin->setSpecialValueText(value.isValid() ? QString() : QStringLiteral(" "));
                           const int shown = value.isValid() ? value.toInt() : spin->minimum();
                           if (spin->value() != shown)
                               spin->setValue(shown);
                       }});
    m_bindings.last().show();
}

void FieldBinding::refresh()
{
    if (m_table->controlsDisabled())
        return;
    m_showing = true;
    for (const Binding& binding : std::as_const(m_bindings)) {
        if (binding.editor)
            binding.show();
    }
    m_showing = false;
}
