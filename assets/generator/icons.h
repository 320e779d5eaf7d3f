// The design's two icons in 16 colours, at 32 and 16 pixels: the information icon (a letter i on a
// blue disc) and the computer icon (a monitor on a desktop case, with a keyboard). Each size is
// drawn on its own grid rather than scaled, so that the small one stays legible.
#pragma once

#include "assets/generator/canvas.h"

namespace assets::generator {

// size is 32 or 16; any size of 32 or more is drawn as the large one.
Canvas InformationIcon(int size);
Canvas ComputerIcon(int size);

}  // namespace assets::generator
