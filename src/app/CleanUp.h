#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class DataModule;
class Dialogs;

// Runs the single statements of the clean-up commands on the catalogue's connection.
class SqlStatement : public QObject
{
    Q_OBJECT

public:
    SqlStatement(DataModule* data, QObject* parent = nullptr);
    void execute(const QString& statement);

private:
    DataModule* m_data;
};

// Empties a whole catalogue or one lookup list after the user confirmed it.
class CleanUp
{
public:
    struct Item
    {
        int group;            // 1 … 3
        int index;            // 0-based item of the radio group
        QString question;     // fixed confirmation text; empty: captionField + " wirklich löschen ?"
        QString captionField; // settings field whose text starts the question
        QStringList tables;   // counted before anything is deleted
        QStringList statements;
        QString label; // result label
    };

    struct Result
    {
        QString label; // empty when nothing ran
        QString text;
    };

    CleanUp(DataModule* data, SqlStatement* statement, Dialogs* dialogs);

    static const QList<Item>& items();
    static QString questionFor(const Item& item, const QString& caption);

    // Asks, counts, then deletes. The label text is handed to show before the statements run,
    // so it stands even when a statement fails. Emptied tables are read again at once.
    Result run(int group, int index, const std::function<void(const Result&)>& showCount);

private:
    DataModule* m_data;
    SqlStatement* m_statement;
    Dialogs* m_dialogs;
};
