#pragma once
// One run of tilvo-render: creates the control on a headless site, applies
// the options through the dispatch entry, paints and writes the picture.

#include <ostream>
#include <string>

#include "render_options.h"

namespace tilvo::render_tool {

// Runs the options; 0 on success, 2 for a refused argument, 1 when the
// picture cannot be written, each failure with a one-line reason in error.
// --print writes its NAME=VALUE lines to out. A batch export writes its
// files, says on out how many, and reports its progress on `progress` when given.
int RunRender(const RenderOptions& options, std::ostream& out, std::string& error, std::ostream* progress = nullptr);

}  // namespace tilvo::render_tool
