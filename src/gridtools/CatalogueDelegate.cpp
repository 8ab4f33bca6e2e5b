#include "gridtools/CatalogueDelegate.h"

#include "data/TableObject.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/LookupCombo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>

CatalogueDelegate::CatalogueDelegate(GridModel* model, QSortFilterProxyModel* proxy, Commit commit, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
    , m_proxy(proxy)
    , m_commit(std::move(commit))
{
}

QWidget* CatalogueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    const GridColumnObject* column = m_model->column(index.column());
    if (!column)
        return nullptr;
    const GridColumn& def = column->definition();
    const FieldDef& field = m_model->table()->definition().fields[column->fieldIndex()];
    const int maxLength = field.type == FieldType::Text ? field.size : 32767;
    switch (def.editor) {
    case EditorKind::ReadOnly:
        return nullptr;
    case EditorKind::Lookup: {
        auto* combo = new LookupCombo(def.lookup, parent);
        combo->setMaxLength(maxLength);
        return combo;
    }
    case EditorKind::FixedList: {
        auto* combo = new QComboBox(parent);
        combo->addItems(def.fixedItems);
        return combo;
    }
    case EditorKind::Memo: {
        auto* memo = new QPlainTextEdit(parent);
        memo->setTabChangesFocus(true);
        memo->setMinimumHeight(120);
        return memo;
    }
    case EditorKind::Mask: {
        auto* edit = new QLineEdit(parent);
        edit->setInputMask(def.inputMask);
        return edit;
    }
    case EditorKind::Text:
        break;
    }
    auto* edit = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (!edit)
        edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    return edit;
}

void CatalogueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (auto* lookup = qobject_cast<LookupCombo*>(editor)) {
        lookup->setValue(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(text));
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(editor)) {
        memo->setPlainText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
    }
}

void CatalogueDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    QVariant value;
    if (auto* lookup = qobject_cast<LookupCombo*>(editor)) {
        value = lookup->value();
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        value = combo->currentText();
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(editor)) {
        value = memo->toPlainText();
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        value = edit->text();
        if (!edit->inputMask().isEmpty() && !edit->hasAcceptableInput() && edit->displayText().trimmed().isEmpty())
            value = QString();
    }
    const QString before = index.data(Qt::DisplayRole).toString();
    if (value.toString() == before)
        return; // only changed values are written
    const QString text = value.toString();
    if (text.isEmpty())
        value = QVariant();
    m_commit(m_proxy->mapToSource(index).row(), index.column(), value);
}

void CatalogueDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    if (qobject_cast<QPlainTextEdit*>(editor)) {
        // The memo opens below the cell as a larger pop-up.
        QRect r = option.rect;
        r.setWidth(std::max(r.width(), 300));
        r.setHeight(140);
        editor->setGeometry(r);
        return;
    }
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}
