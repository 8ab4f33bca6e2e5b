#include "gridtools/LookupCombo.h"

#include "data/TableObject.h"
#include "platform/CommandGuard.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>

LookupCombo::LookupCombo(const LookupBinding& binding, QWidget* parent)
    : QComboBox(parent)
    , m_binding(binding)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    TableObject* list = binding.list;
    if (!list)
        return;
    m_keyColumn = list->definition().fieldIndex(binding.columns.value(0));
    if (m_keyColumn < 0)
        m_keyColumn = 0;
    QAbstractItemModel* model = list;
    if (binding.sorted) {
        auto* sorted = new QSortFilterProxyModel(this);
        sorted->setSourceModel(list);
        sorted->setSortCaseSensitivity(Qt::CaseInsensitive);
        sorted->setSortLocaleAware(true);
        sorted->setDynamicSortFilter(true);
        sorted->sort(m_keyColumn, Qt::AscendingOrder);
        model = sorted;
    }
    if (binding.columns.size() > 1) {
        // Several list columns: a small table as the drop-down, sized to its content.
        auto* view = new QTreeView(this);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setAllColumnsShowFocus(true);
        view->header()->setStretchLastSection(true);
        setView(view);
        setModel(model);
        for (int c = 0; c < list->columnCount(); ++c) {
            const QString name = list->definition().fields[c].name;
            view->setColumnHidden(c, !binding.columns.contains(name, Qt::CaseInsensitive));
        }
        view->header()->moveSection(view->header()->visualIndex(m_keyColumn), 0);
        view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        view->setMinimumWidth(250);
    } else {
        setModel(model);
    }
    setModelColumn(m_keyColumn);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void LookupCombo::setValue(const QString& text)
{
    const int found = findText(text, Qt::MatchExactly);
    setCurrentIndex(found);
    setEditText(text);
}

void LookupCombo::setMaxLength(int length)
{
    if (lineEdit())
        lineEdit()->setMaxLength(length);
}

bool LookupCombo::listContains(const QString& text) const
{
    return findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
}

namespace {
LookupHandlers::Runner g_runner;
}

void LookupHandlers::setRunner(Runner runner)
{
    g_runner = std::move(runner);
}

void LookupHandlers::run(const QString& handler, const QString& text)
{
    if (g_runner && !handler.isEmpty())
        g_runner(handler, text);
}
