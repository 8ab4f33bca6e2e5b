#pragma once

#include <QString>
#include <QStringList>

// Hands a file, folder URL or web address to the desktop to open with its associated program.
// The outcome is not reported back; callers never depend on it.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    virtual void open(const QString& target) = 0;
};

class DesktopShellOpener final : public ShellOpener
{
public:
    void open(const QString& target) override;
};

// Records what would have been opened.
class RecordingShellOpener final : public ShellOpener
{
public:
    void open(const QString& target) override { opened.append(target); }
    QStringList opened;
};
