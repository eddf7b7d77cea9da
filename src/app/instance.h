// One running copy per game folder, and the name the game's icon and cursor files carry.
#pragma once

#include <filesystem>
#include <string>

namespace yv {

// Where the lock for a game folder lives (outside the game folder, per user).
std::filesystem::path instanceLockPath(const std::filesystem::path& gameDir);

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // False when another process holds the lock of this game folder.
    bool acquire(const std::filesystem::path& gameDir);
    // Gives the lock up and removes its file.
    void release();

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

// The base name of the game's own program when the folder holds exactly one ".exe" (any case),
// else "yorvane": "<name>.ico" is the window's icon and "<name>.cur" its cursor.
std::string applicationName(const std::filesystem::path& gameDir);

}  // namespace yv
