#include "platform/DriveDoor.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <utility>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// How long a door may take to move before we stop waiting for it.
constexpr int doorMoveLimitMs = 15000;

} // namespace

CdromDriveDoor::CdromDriveDoor(QString device)
    : m_device(std::move(device))
{}

void CdromDriveDoor::open()
{
    move(true);
}

void CdromDriveDoor::close()
{
    move(false);
}

void CdromDriveDoor::move(bool open)
{
    // Without O_NONBLOCK the driver would close an open tray just to open the device.
    const int fd = ::open(QFile::encodeName(m_device).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::ioctl(fd, open ? CDROMEJECT : CDROMCLOSETRAY, 0) == 0) {
        // Most drives report back only when the tray has moved; others return at once, so the
        // drive's own status decides.
        const QDeadlineTimer limit(doorMoveLimitMs);
        while (!limit.hasExpired()) {
            const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
            if (status < 0 || status == CDS_NO_INFO || (status == CDS_TRAY_OPEN) == open)
                break;
            QThread::msleep(100);
        }
    }
    ::close(fd);
}
