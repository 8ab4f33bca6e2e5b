#pragma once

#include <QStyledItemDelegate>

#include <functional>

class CatalogueProxy;
class GridModel;

// Creates the in-place editor each column declares and hands confirmed values to the grid,
// which writes them to the record. Draws group rows with their expand button, group footers,
// and, where the grid wants them always, the drop-down buttons of the editing columns.
class CatalogueDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using Commit = std::function<void(int sourceRow, int position, const QVariant& value)>;

    CatalogueDelegate(GridModel* model, CatalogueProxy* proxy, Commit commit, QObject* parent = nullptr);

    void setEditButtonsShown(bool on) { m_editButtons = on; }
    bool hasEditButton(int position) const;
    // Where a group row's expand button is, and a cell's edit button.
    static QRect expandButtonRect(const QRect& rowRect, int level);
    static QRect editButtonRect(const QRect& cellRect);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    GridModel* m_model;
    CatalogueProxy* m_proxy;
    Commit m_commit;
    bool m_editButtons = false;
};
