#pragma once
// The version every program reports: the project's version, followed by "(git DESCRIBE)" when it
// was built from a git checkout of the project.

namespace gw {

const char* BuildVersion();

} // namespace gw
