#pragma once
// Configurations for gatewaycfg probe, and its JSON read back as short lines a test compares.

#include <functional>
#include <string>
#include <vector>

#include "support/config_builder.h"

// Slave 1 with the commands, mapped end to end, changed by edit and saved to path; the path.
std::string SaveProbeConfig(const std::string& path, const std::vector<test_config::CommandValues>& commands,
                            const std::function<void(CDeviceConfig&)>& edit = {});

// One line per command: "number status exception values", and with details "number status
// detail notes" instead; image gets the input image's hex digits.
std::string PolledLines(const std::string& json, std::string* image = nullptr, bool details = false);
