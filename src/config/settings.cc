// The defaults live in the member initialisers of Settings; this is the one
// place that hands out a fresh record.
#include "config/settings.h"

namespace zentrak {

Settings SetDefaults() { return Settings{}; }

}  // namespace zentrak
