#pragma once

#include "platform/Dialogs.h"

#include <QFont>
#include <QPointer>

class QWidget;

// The dialogs the user sees, parented to the main window.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget* parent = nullptr) { m_parent = parent; }
    void setParent(QWidget* parent) { m_parent = parent; }

    bool confirm(const QString& text) override;
    void message(const QString& text) override;
    QStringList openPictures(const QString& title, const QString& filter) override;
    QStringList openFiles(const QString& filter) override;
    QString chooseFolder(const QString& title) override;
    QString chooseFont(const QString& family, int pointSize) override;
    void about() override;
    void showError(const QString& message) override;

private:
    QPointer<QWidget> m_parent;
};
