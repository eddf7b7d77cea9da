// savetmp, nonesavetmp, clrsavetmp, clrsavetmpex, systemsave, systemload.
#include "save/commands.h"

#include "runtime.h"

namespace yv {

int32_t cmdSavetmp(Runtime& rt, const Args&) {
    rt.save.log.logging = 1;
    rt.save.log.add(82);
    return 1;
}

int32_t cmdNonesavetmp(Runtime& rt, const Args&) {
    rt.save.log.logging = 0;
    return 1;
}

// Accepted for old scripts; they do nothing.
int32_t cmdClrsavetmp(Runtime& rt, const Args&) { return rt.interp.result; }
int32_t cmdClrsavetmpex(Runtime& rt, const Args&) { return rt.interp.result; }

int32_t cmdSystemsave(Runtime& rt, const Args&) {
    save::writeSystemSave(rt);
    return 1;
}

int32_t cmdSystemload(Runtime& rt, const Args&) {
    save::readSystemSave(rt);
    return 1;
}

}  // namespace yv
