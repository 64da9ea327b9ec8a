#pragma once
// DrawObject, which hands one DrawRequest to the decoder of its type, by the
// route the type's row in the art type table gives.

#include "artcontrol/render/art_types.h"
#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"

namespace tilvo {

// DrawObject: decodes the object of one request into the picture by its
// type's route: an art entry, an indexed entry handed to the type's decoder,
// or a map block. Codes without a row draw nothing.
void DrawObject(DrawContext& ctx, const DrawRequest& req);

// Whether the client holds entry `index` of the type (its patch, its index
// record or its container entry), as the type's route reads it.
bool HoldsEntry(DrawContext& ctx, const ArtTypeRow& row, std::uint32_t index);

}  // namespace tilvo
