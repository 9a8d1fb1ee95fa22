// Notices that the open port's device went away: the node was removed (an
// adapter pulled, a pseudo-terminal's far end closed), replaced by another
// device of the same name, or refuses an open with an I/O error (hung up).
// The library keeps its own results; the window looks at the node itself.
#ifndef PORTBENCH_DEVICE_WATCH_H
#define PORTBENCH_DEVICE_WATCH_H

#include <QByteArray>
#include <QString>
#include <sys/types.h>

class DeviceWatch {
  public:
    // Starts watching the device the port name `name` stands for (a link is
    // followed); false, and nothing watched, when it names none.
    bool Watch(const QString& name);
    void Stop() { watching_ = false; }
    bool Watching() const { return watching_; }

    // True when the watched device is gone.
    bool Lost() const;

  private:
    bool watching_ = false;
    QByteArray path_;
    dev_t device_ = 0; // the node's own device number and inode: a new node of the
    ino_t inode_ = 0;  // same name is another device
    dev_t rdev_ = 0;
};

#endif
