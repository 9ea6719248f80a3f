#pragma once
// The results of commissioning as gatewaycfg prints them with --json, read back for the report:
// the probe's outcomes and values ("gatewaycfg probe --json") and the verify result
// ("gatewaycfg verify --json"). Fields other than those named here are passed over.

#include <optional>
#include <string>
#include <vector>

#include "model/outcome.h"

struct ProbeCommandResult {
    int command = 0;
    int function = 0;
    long long start = 0;
    long long count = 0;
    std::string status;                // ok, timeout, exception, error, skipped
    std::optional<long long> exception;
    double ms = 0;
    std::vector<long long> values;
};

struct ProbeResults {
    std::vector<ProbeCommandResult> commands;
    std::string inputImage;            // hex digits, two a byte
};

struct VerifyDifference {
    std::string node;
    std::string item;
    std::optional<std::string> left;   // the file's value; none where the file lacks the item
    std::optional<std::string> right;  // the module's value
};

struct VerifyResults {
    bool equal = true;
    std::vector<VerifyDifference> differences;
    std::string hardware;              // "2.1"; empty when the result does not say
    std::string date;                  // when the module was read
};

namespace gw {

// Parse a document; a failure's message names the source and the field at fault.
Outcome ParseProbeResults(const std::string& text, const std::string& source, ProbeResults& results);
Outcome ParseVerifyResults(const std::string& text, const std::string& source, VerifyResults& results);

// Read and parse a file. A verify result without a date takes the file's modification time.
Outcome LoadProbeResults(const std::string& path, ProbeResults& results);
Outcome LoadVerifyResults(const std::string& path, VerifyResults& results);

} // namespace gw
