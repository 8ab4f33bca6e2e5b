#pragma once

#include "gridtools/GridColumn.h"

// Short forms for declaring grid columns.
namespace GridBuilder {

inline GridColumn text(const QString& name, const QString& field, const QString& caption = {}, bool hidden = false)
{
    GridColumn c;
    c.name = name;
    c.field = field;
    c.caption = caption;
    c.hidden = hidden;
    return c;
}

inline GridColumn lookup(const QString& name, const QString& field, const QString& caption, TableObject* list,
                         const QStringList& columns, bool sorted, const QString& handler, bool hidden = false)
{
    GridColumn c = text(name, field, caption, hidden);
    c.editor = EditorKind::Lookup;
    c.lookup = {list, columns, sorted, handler};
    return c;
}

inline GridColumn fixedList(const QString& name, const QString& field, const QString& caption, const QStringList& items)
{
    GridColumn c = text(name, field, caption);
    c.editor = EditorKind::FixedList;
    c.fixedItems = items;
    return c;
}

inline GridColumn memo(const QString& name, const QString& field, const QString& caption = {}, bool hidden = false)
{
    GridColumn c = text(name, field, caption, hidden);
    c.editor = EditorKind::Memo;
    return c;
}

inline GridColumn masked(const QString& name, const QString& field, const QString& mask)
{
    GridColumn c = text(name, field);
    c.editor = EditorKind::Mask;
    c.inputMask = mask;
    return c;
}

} // namespace GridBuilder
