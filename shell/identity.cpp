// SPDX-License-Identifier: MIT
#include "shell/identity.h"

namespace vandrel {

// The build passes the project's version to this file alone, so a new version rebuilds one file.
const std::string_view kGameVersion = VANDREL_VERSION;

}  // namespace vandrel
