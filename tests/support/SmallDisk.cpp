#include "support/SmallDisk.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

SmallDisk::SmallDisk(int kibibytes) {
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0700";
    mounted = dir.isValid() && ::geteuid() == 0 &&
              ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
                      options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted)
        ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
}

QString SmallDisk::Folder() const {
    return dir.path() + '/';
}

void SmallDisk::Fill() {
    const int fd = ::open(QFile::encodeName(Folder() + "filler").constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const QByteArray block(4096, 'x');
    while (fd >= 0 && ::write(fd, block.constData(), block.size()) > 0) {
    }
    for (char byte = 'x'; fd >= 0 && ::write(fd, &byte, 1) > 0;) {
    }
    ::close(fd);
}
