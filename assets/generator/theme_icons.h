// The information icon for desktop icon themes, which take PNG and SVG rather than Windows icons.
#pragma once

#include <filesystem>

namespace assets::generator {

// information-<size>.png at every size the icon is offered in, then information.svg, into dir.
bool WriteThemeIcons(const std::filesystem::path& dir);

}  // namespace assets::generator
