#include "gridtools/CatalogueDelegate.h"

#include "data/TableObject.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/LookupCombo.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>

CatalogueDelegate::CatalogueDelegate(GridModel* model, CatalogueProxy* proxy, Commit commit, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
    , m_proxy(proxy)
    , m_commit(std::move(commit))
{}

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
    const int row = m_proxy->sourceRow(index.row());
    if (row >= 0)
        m_commit(row, index.column(), value);
}

bool CatalogueDelegate::hasEditButton(int position) const
{
    const GridColumnObject* column = m_model->column(position);
    if (!m_editButtons || !column)
        return false;
    const EditorKind kind = column->definition().editor;
    return kind == EditorKind::Lookup || kind == EditorKind::FixedList || kind == EditorKind::Memo;
}

QRect CatalogueDelegate::expandButtonRect(const QRect& rowRect, int level)
{
    return QRect(rowRect.left() + std::max(0, level - 1) * 18, rowRect.top(), 22, rowRect.height());
}

QRect CatalogueDelegate::editButtonRect(const QRect& cellRect)
{
    const int w = std::min(16, cellRect.width() / 2);
    return QRect(cellRect.right() - w, cellRect.top() + 1, w, cellRect.height() - 2);
}

void CatalogueDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto kind = CatalogueProxy::RowKind(index.data(CatalogueProxy::RowKindRole).toInt());
    if (kind == CatalogueProxy::RowKind::Group) {
        painter->save();
        const QRect r = option.rect;
        painter->fillRect(r, QColor(0xe3, 0xe9, 0xf0));
        painter->setPen(QColor(0xc2, 0xcc, 0xd8));
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        const QRect button = expandButtonRect(r, index.data(CatalogueProxy::LevelRole).toInt());
        const QPointF c = QRectF(button).center();
        QPainterPath arrow;
        if (index.data(CatalogueProxy::ExpandedRole).toBool()) {
            arrow.moveTo(c + QPointF(-4, -2));
            arrow.lineTo(c + QPointF(4, -2));
            arrow.lineTo(c + QPointF(0, 3));
        } else {
            arrow.moveTo(c + QPointF(-2, -4));
            arrow.lineTo(c + QPointF(3, 0));
            arrow.lineTo(c + QPointF(-2, 4));
        }
        arrow.closeSubpath();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(arrow, QColor(0x3a, 0x4a, 0x5c));
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(QColor(0x1f, 0x2d, 0x3d));
        const QRect text = r.adjusted(button.right() - r.left() + 4, 0, -4, 0);
        painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                          QFontMetrics(bold).elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        painter->restore();
        return;
    }
    if (kind == CatalogueProxy::RowKind::GroupFooter) {
        painter->save();
        painter->fillRect(option.rect, QColor(0xf4, 0xf2, 0xe8));
        const QString text = index.data().toString();
        if (!text.isEmpty()) {
            painter->setPen(QColor(0xb8, 0xb2, 0x98));
            painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
            painter->setPen(option.palette.color(QPalette::Text));
            painter->drawText(option.rect.adjusted(5, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                              option.fontMetrics.elidedText(text, Qt::ElideRight, option.rect.width() - 9));
        }
        painter->restore();
        return;
    }
    QStyledItemDelegate::paint(painter, option, index);
    if (hasEditButton(index.column()) && option.rect.width() > 24) {
        // The drop-down button of an editing column, also while the cell is not being edited.
        QStyleOptionButton button;
        button.rect = editButtonRect(option.rect);
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        button.palette = option.palette;
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_PushButtonBevel, &button, painter, option.widget);
        QStyleOption arrow;
        arrow.rect = button.rect.adjusted(4, 4, -4, -4);
        arrow.palette = option.palette;
        arrow.state = QStyle::State_Enabled;
        style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, option.widget);
    }
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
