#pragma once

#include <QString>
#include <QStringList>

// The door (tray) of the CD/DVD drive. Both moves return only when the door has moved; a machine
// without a drive, or a drive that cannot move its door, shows no effect and reports nothing.
class DriveDoor
{
public:
    virtual ~DriveDoor() = default;
    virtual void open() = 0;
    virtual void close() = 0;
};

// The system's default drive, moved through the CD-ROM ioctls.
class CdromDriveDoor final : public DriveDoor
{
public:
    explicit CdromDriveDoor(QString device = QStringLiteral("/dev/cdrom"));
    void open() override;
    void close() override;

private:
    void move(bool open);
    QString m_device;
};

// Records the moves asked for ("open", "close").
class ScriptedDriveDoor final : public DriveDoor
{
public:
    void open() override { moves.append(QStringLiteral("open")); }
    void close() override { moves.append(QStringLiteral("close")); }
    QStringList moves;
};
