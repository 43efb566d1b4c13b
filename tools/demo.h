// klem demo: built-in pictures through a call of every family, as PNG files
// and a page that shows them.
#pragma once

#include <string>

namespace klem_tool {

// Writes the gallery into dir; 0 when every step ran, else 1.
int RunDemo(const std::string& dir);

}  // namespace klem_tool
