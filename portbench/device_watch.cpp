#include "device_watch.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// The device a port name stands for, as the library opens it: a path as it is,
// COMn the n-th serial port, any other name one in /dev.
QByteArray DeviceOf(const QString& name) {
    if (name.startsWith(u'/')) return QFile::encodeName(name);
    bool number = false;
    const int n = name.mid(3).toInt(&number);
    if (name.size() > 3 && name.left(3).compare("COM", Qt::CaseInsensitive) == 0 && number &&
        n > 0 && !name.mid(3).startsWith(u'+'))
        return "/dev/ttyS" + QByteArray::number(n - 1);
    return "/dev/" + QFile::encodeName(name);
}

} // namespace

bool DeviceWatch::Watch(const QString& name) {
    watching_ = false;
#ifdef _WIN32
    Q_UNUSED(name);
    return false; // the line's own errors tell of a removed adapter there
#else
    path_ = DeviceOf(name);
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
