// Where the language's own complaints go: the reader shows each in a message box and waits.
#pragma once

#include "core/bytes.h"

namespace yv {

// The evaluator and scanners complain about a few malformed texts ("<" written right after a
// number, an assignment it cannot read) the way the original interpreter did: a message box with
// the window title and an OK button, which holds the script until it is answered. They say it
// here and leave the showing to whoever owns the window.
class Alerts {
public:
    virtual void alert(BytesView text) = 0;

protected:
    ~Alerts() = default;
};

}  // namespace yv
