// Sound state the interpreter step consults.
#pragma once

namespace yv {

struct Runtime;

struct Media {
    bool volumeFading = false;
    bool cdWait = false;  // cddaready: hold statements until the drive answers
};

namespace media {
// One increment of the volume fade; true while it is still running.
bool advanceVolumeFade(Runtime& rt);
bool cdDriveReady(Runtime& rt);
}  // namespace media

}  // namespace yv
