#include "device_watch.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include "com_name.h"

#include <unistd.h>
#endif

bool DeviceWatch::Watch(const QString& name) {
    watching_ = false;
#ifdef _WIN32
    Q_UNUSED(name);
    return false; // the line's own errors tell of a removed adapter there
#else
    path_ =
        QByteArray::fromStdString(portline::ComNameDevice(QFile::encodeName(name).toStdString()));
    struct stat info {};
    if (::stat(path_.constData(), &info) != 0) return false;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    rdev_ = info.st_rdev;
    watching_ = true;
    return true;
#endif
}

bool DeviceWatch::Lost() const {
#ifdef _WIN32
    return false;
#else
    if (!watching_) return false;
    struct stat info {};
    if (::stat(path_.constData(), &info) != 0) return errno == ENOENT || errno == ENOTDIR;
    if (info.st_dev != device_ || info.st_ino != inode_ || info.st_rdev != rdev_) return true;
    if (!S_ISCHR(info.st_mode)) return false;
    // Opening a terminal that is already open changes none of its settings or
    // lines; an exclusive one refuses with EBUSY, which means it is still there.
    const int fd = ::open(path_.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EIO || errno == ENXIO || errno == ENODEV;
#endif
}
