// What tells one version of a file from another: the media layer takes over what
// it opened or decoded of a file only while the file is the same.
#pragma once

#include <string>
#include <sys/stat.h>

namespace discforge {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    // All zero when the file cannot be looked at.
    static FileIdentity Of(const std::string& path)
    {
        FileIdentity identity;
        struct stat info { };
        if (stat(path.c_str(), &info) == 0) {
            identity = FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
        }
        return identity;
    }

    bool operator==(const FileIdentity& other) const
    {
        return device == other.device && inode == other.inode && size == other.size
            && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

} // namespace discforge
