// The sky background, painted by the asset generator: an 8-bit bitmap of 65 colours.
#pragma once

#include "assets/generator/bytes.h"

namespace assets::generator {

// The whole bitmap file, the same bytes on every run.
Bytes SkyBitmap();

}  // namespace assets::generator
