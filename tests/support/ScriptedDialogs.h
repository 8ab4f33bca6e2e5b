#pragma once

#include "platform/Dialogs.h"

#include <QQueue>

// Dialog answers prepared by a test, and a record of what was shown.
class ScriptedDialogs final : public Dialogs
{
public:
    bool confirm(const QString& text) override
    {
        confirmations.append(text);
        return confirmAnswers.isEmpty() ? false : confirmAnswers.dequeue();
    }
    void message(const QString& text) override { messages.append(text); }
    QStringList openPictures(const QString& title, const QString&) override
    {
        titles.append(title);
        return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
    }
    QStringList openFiles(const QString&) override
    {
        return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
    }
    QString chooseFolder(const QString& title) override
    {
        titles.append(title);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
    }
    QString chooseFont(const QString& family, int) override
    {
        fontRequests.append(family);
        return fontAnswers.isEmpty() ? family : fontAnswers.dequeue();
    }
    void about() override { ++aboutShown; }
    void showError(const QString& text) override { errors.append(text); }

    QQueue<bool> confirmAnswers;
    QQueue<QStringList> fileAnswers;
    QQueue<QString> folderAnswers;
    QQueue<QString> fontAnswers;

    QStringList confirmations;
    QStringList messages;
    QStringList titles;
    QStringList fontRequests;
    QStringList errors;
    int aboutShown = 0;
};
