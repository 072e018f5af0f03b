// What exists at a path, from the runtime library's file status (_stat).
#pragma once

#include "dropedit/DropDecision.h"

#include <string>

namespace varnel {

// Missing when the status cannot be read (no such object, or a name the
// system refuses).
PathKind QueryPathKind(const std::string& path);

}  // namespace varnel
