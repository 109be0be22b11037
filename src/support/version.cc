// The version text, from the build.
#include "support/version.h"

namespace zentrak {

const char kVersion[] = ZENTRAK_VERSION;

}  // namespace zentrak
