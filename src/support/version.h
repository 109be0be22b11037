// The program's version as the banners and "@VERSION" show it. The build sets
// it from the project's version in CMakeLists.txt, its one source.
#pragma once

namespace zentrak {

/// "major.minor.patch-date".
extern const char kVersion[];

}  // namespace zentrak
