#pragma once

#include <QStyledItemDelegate>

#include <functional>

class GridModel;
class QSortFilterProxyModel;

// Creates the in-place editor each column declares and hands confirmed values to the grid,
// which writes them to the record.
class CatalogueDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using Commit = std::function<void(int sourceRow, int position, const QVariant& value)>;

    CatalogueDelegate(GridModel* model, QSortFilterProxyModel* proxy, Commit commit, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    GridModel* m_model;
    QSortFilterProxyModel* m_proxy;
    Commit m_commit;
};
