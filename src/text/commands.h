// Script commands of the message text: text items and table, settings, printing, history.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;
struct Args;

int32_t cmdCreatetextf(Runtime& rt, const Args& args);
int32_t cmdLoadtextf(Runtime& rt, const Args& args);
int32_t cmdReleasetextf(Runtime& rt, const Args& args);
int32_t cmdLocatef(Runtime& rt, const Args& args);
int32_t cmdSettextspeed(Runtime& rt, const Args& args);
int32_t cmdSettextspeedf(Runtime& rt, const Args& args);
int32_t cmdSetmessagelength(Runtime& rt, const Args& args);
int32_t cmdSettextwait(Runtime& rt, const Args& args);
int32_t cmdSetdefaultcolor(Runtime& rt, const Args& args);
int32_t cmdSettexttype(Runtime& rt, const Args& args);
int32_t cmdSetfont(Runtime& rt, const Args& args);
int32_t cmdSetfontdialog(Runtime& rt, const Args& args);
int32_t cmdSetrectwaiticon(Runtime& rt, const Args& args);
int32_t cmdSettextwaitpos(Runtime& rt, const Args& args);
int32_t cmdSettextprintf(Runtime& rt, const Args& args);
int32_t cmdTextBuffer(Runtime& rt, const Args& args);
int32_t cmdTrapbuffer(Runtime& rt, const Args& args);
int32_t cmdTrapbufferoff(Runtime& rt, const Args& args);
int32_t cmdPrinttext(Runtime& rt, const Args& args);
int32_t cmdPrinttextf(Runtime& rt, const Args& args);
int32_t cmdPainttextbuffer(Runtime& rt, const Args& args);
int32_t cmdLogstart(Runtime& rt, const Args& args);
int32_t cmdLogstop(Runtime& rt, const Args& args);


}  // namespace yv
