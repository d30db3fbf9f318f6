#pragma once

#include <QString>
#include <QTemporaryDir>

// A small file system of its own (a tmpfs mounted in a temporary folder) that a test can fill up.
// Mounting needs root; Mounted() says whether it worked.
class SmallDisk {
public:
    explicit SmallDisk(int kibibytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted; }
    QString Folder() const; // ends with '/'
    // Writes a filler file until the disk is full.
    void Fill();

private:
    QTemporaryDir dir;
    bool mounted = false;
};
