// Opening, removing and renaming files beneath a folder: never above it, never through a link that
// leads out of it (the game folder is untrusted, and so is every name its scripts give).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace yv {

// Why a name was refused.
enum class Outside { No, Absolute, Above, Link };

// The reason as the refusal line on stderr gives it ("an absolute path", ...), for `folder`
// ("game folder", "save folder").
std::string outsideReason(Outside why, const char* folder);

// The one line on stderr for a refused name: "<what>: <name> (<reason>)", the name in UTF-8.
void sayRefused(const std::string& what, const std::string& name, Outside why, const char* folder);

namespace beneath {

// Opens `rel` (relative, without "..") beneath `root` with the flags of open(2); links are
// followed as long as they stay beneath root. openat2 with RESOLVE_BENEATH where the kernel has
// it; without it, and for links that name an absolute place, a walk checked with realpath.
// -1 with errno on failure; errno EXDEV when the name leads out of root.
int open(const std::filesystem::path& root, const std::filesystem::path& rel, int flags, mode_t mode = 0);

// The part of `path` beneath `root` (lexically), or nothing when it is not beneath it.
std::optional<std::filesystem::path> inside(const std::filesystem::path& root, const std::filesystem::path& path);

// Whether `path` (lexically beneath root) stays beneath it once links are followed. A missing
// file counts as beneath when its folder does and it is no link leading out.
bool stays(const std::filesystem::path& root, const std::filesystem::path& path);

// unlink(2) and rename(2) of entries beneath root, each in its folder opened beneath root: the
// entries themselves (a link is removed or renamed, not its target). The new name of a rename
// must not exist (EEXIST). 0, or -1 with errno.
int unlink(const std::filesystem::path& root, const std::filesystem::path& rel);
int renameNoReplace(const std::filesystem::path& root, const std::filesystem::path& fromRel,
                    const std::filesystem::path& toRel);

}  // namespace beneath
}  // namespace yv
