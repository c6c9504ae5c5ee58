#pragma once

#include <string>

namespace takton {

class TPrjParams;

// Writes the parameters into the project file at a native path (created if
// missing; keys it does not write stay as they were). Raises TaktonError when
// the file cannot be written; the old file then stays whole.
void SaveProjectFile(const std::string &path, const TPrjParams &params);

} // namespace takton
