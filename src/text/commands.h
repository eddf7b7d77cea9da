// Script commands of the message text: text items and table, settings, printing, history.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;

int32_t cmdCreatetextf(Runtime& rt);
int32_t cmdLoadtextf(Runtime& rt);
int32_t cmdReleasetextf(Runtime& rt);
int32_t cmdLocatef(Runtime& rt);
int32_t cmdSettextspeed(Runtime& rt);
int32_t cmdSettextspeedf(Runtime& rt);
int32_t cmdSetmessagelength(Runtime& rt);
int32_t cmdSettextwait(Runtime& rt);
int32_t cmdSetdefaultcolor(Runtime& rt);
int32_t cmdSettexttype(Runtime& rt);
int32_t cmdSetfont(Runtime& rt);
int32_t cmdSetfontdialog(Runtime& rt);
int32_t cmdSetrectwaiticon(Runtime& rt);
int32_t cmdSettextwaitpos(Runtime& rt);
int32_t cmdSettextprintf(Runtime& rt);
int32_t cmdTextBuffer(Runtime& rt);
int32_t cmdTrapbuffer(Runtime& rt);
int32_t cmdTrapbufferoff(Runtime& rt);
int32_t cmdPrinttext(Runtime& rt);
int32_t cmdPrinttextf(Runtime& rt);
int32_t cmdPainttextbuffer(Runtime& rt);
int32_t cmdLogstart(Runtime& rt);
int32_t cmdLogstop(Runtime& rt);


}  // namespace yv
