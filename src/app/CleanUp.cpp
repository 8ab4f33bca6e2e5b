#include "app/CleanUp.h"

#include "data/DataModule.h"
#include "platform/Dialogs.h"

#include <QScopeGuard>

SqlStatement::SqlStatement(DataModule* data, QObject* parent)
    : QObject(parent)
    , m_data(data)
{
    setObjectName(QStringLiteral("MSSQL1"));
}

void SqlStatement::execute(const QString& statement)
{
    m_data->execute(statement);
}

CleanUp::CleanUp(DataModule* data, SqlStatement* statement, Dialogs* dialogs)
    : m_data(data)
    , m_statement(statement)
    , m_dialogs(dialogs)
{}

const QList<CleanUp::Item>& CleanUp::items()
{
    auto item = [](int group, int index, const char* question, const char* field, QStringList tables,
                   QStringList statements, const char* label) {
        return Item{group,  index,      QString::fromUtf8(question), QLatin1String(field),
                    tables, statements, QLatin1String(label)};
    };
    static const QList<Item> all = {
        item(1, 0, "Alle Bilddaten wirklich löschen ?", "", {QStringLiteral("Bilddaten")},
             {QStringLiteral("DELETE FROM Bilddaten")}, "cxLabel1"),
        item(1, 1, "Alle DVD - CD Daten  wirklich löschen ?", "",
             {QStringLiteral("archiv00"), QStringLiteral("Archiv01")},
             {QStringLiteral("DELETE FROM archiv00"), QStringLiteral("DELETE FROM archiv01")}, "cxLabel2"),
        item(1, 2, "Alle Medien Daten  wirklich löschen ?", "", {QStringLiteral("Media")},
             {QStringLiteral("DELETE FROM media")}, "cxLabel3"),
        item(2, 0, "", "a1", {QStringLiteral("Typen")}, {QStringLiteral("DELETE FROM typen")}, "cxLabel5"),
        item(2, 1, "", "a2", {QStringLiteral("Spezialuniversalprodukt")},
             {QStringLiteral("DELETE FROM spezialuniversalprodukt")}, "cxLabel4"),
        item(2, 2, "", "a3", {QStringLiteral("Produktbezeichnung")}, {QStringLiteral("DELETE FROM produktbezeichnung")},
             "cxLabel6"),
        item(2, 3, "", "a4", {QStringLiteral("Produktbildvariante")},
             {QStringLiteral("DELETE FROM produktbildvariante")}, "cxLabel7"),
        item(2, 4, "", "a5", {QStringLiteral("Sonstiges")}, {QStringLiteral("DELETE FROM sonstiges")}, "cxLabel8"),
        item(3, 0, "", "b3", {QStringLiteral("cdmedium")}, {QStringLiteral("DELETE FROM cdmedium")}, "cxLabel9"),
        item(3, 1, "", "b4", {QStringLiteral("cdrubrik")}, {QStringLiteral("DELETE FROM cdrubrik")}, "cxLabel10"),
        item(3, 2, "", "b5", {QStringLiteral("cdlagerort")}, {QStringLiteral("DELETE FROM cdlagerort")}, "cxLabel11"),
    };
    return all;
}

QString CleanUp::questionFor(const Item& item, const QString& caption)
{
    return item.question.isEmpty() ? caption + QStringLiteral(" wirklich löschen ?") : item.question;
}

CleanUp::Result CleanUp::run(int group, int index, const std::function<void(const Result&)>& showCount)
{
    const auto& all = items();
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Item& i) { return i.group == group && i.index == index; });
    if (it == all.end())
        return {};
    QString caption;
    if (!it->captionField.isEmpty()) {
        TableObject* settings = m_data->MSVariablen;
        if (!settings->isEmpty())
            caption = settings->value(it->captionField).toString();
    }
    if (!m_dialogs->confirm(questionFor(*it, caption)))
        return {};

    QList<int> counts;
    for (const QString& table : it->tables)
        counts.append(m_data->countRows(table));
    Result result{it->label, {}};
    if (counts.size() == 2)
        result.text = QStringLiteral("%1 und %2 jeweils Datensätze gelöscht").arg(counts[0]).arg(counts[1]);
    else
        result.text = QString::number(counts.value(0)) + QStringLiteral(" Datensätze gelöscht");
    showCount(result);

    // Statements and tables go in step. Once a table's rows are gone, a pending edit of it has
    // nothing left to go to and its views are read again; a table whose statement failed or never
    // ran keeps its rows and whatever was typed into them.
    for (qsizetype i = 0; i < it->statements.size(); ++i) {
        m_statement->execute(it->statements[i]);
        for (TableObject* object : m_data->tables()) {
            if (object->tableName().compare(it->tables.value(i), Qt::CaseInsensitive) == 0) {
                // With the views switched off, dropping a new row cannot move a grid's cursor,
                // which would save the row instead.
                object->disableControls();
                const auto enable = qScopeGuard([object] { object->enableControls(); });
                object->cancel();
                object->refresh();
            }
        }
    }
    return result;
}
