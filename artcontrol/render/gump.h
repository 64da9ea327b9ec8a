#pragma once
// Gumps: the client's interface and paperdoll pictures (gumpart.mul with
// gumpidx.mul). The index record's extra value gives the width (high 16 bits)
// and the height (low 16 bits). The entry starts with one 32-bit row start
// per row, each the position of the row's first run in 4-byte units from the
// entry's start; a run is a 16-bit client colour and a 16-bit repeat count.
// Row y has (start y + 1 − start y) runs, both starts cut to their low 16
// bits and the difference taken as an unsigned 16-bit number; the last row
// ends at the entry's length / 4. In a container ("gumpartLegacyMUL.uop") an
// entry is a 32-bit width and a 32-bit height followed by the same bytes.

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"

namespace tilvo {

// Draws a gump centred in the bounds, unhued; colour 0 is transparent but
// still advances the column, and runs of count 0 are skipped. Nothing for a
// height of 0 or an entry too short for its row-start table; a row whose
// start lies beyond the entry is left out (the others are found through their
// own starts), and a row's runs stop at the entry's end. A container's entry
// whose width or height does not fit 16 bits draws nothing.
void DrawGump(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

}  // namespace tilvo
