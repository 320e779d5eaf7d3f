// Windows icon files (.ico) of 16-colour images, each with its transparency mask, as the Windows
// resource script and the program's window classes take them.
#pragma once

#include <vector>

#include "assets/generator/bytes.h"
#include "assets/generator/canvas.h"

namespace assets::generator {

// The whole file: the directory, then one image per canvas in the order given.
Bytes IconFile(const std::vector<Canvas>& images);

}  // namespace assets::generator
