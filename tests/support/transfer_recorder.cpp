#include "support/transfer_recorder.h"

#include <cstdio>

std::string Recorder::Codes() const
{
    std::string text;
    for (std::size_t i = 0, n = 1; i < sent.size(); i += n) {
        for (n = 1; i + n < sent.size() && sent[i + n][0] == sent[i][0];)
            ++n;
        char item[16];
        for (std::size_t k = 0; k < (n > 2 ? 1 : n); ++k) {
            std::snprintf(item, sizeof item, " %02X", sent[i][0]);
            text += item + (n > 2 ? "x" + std::to_string(n) : "");
        }
    }
    return text.empty() ? text : text.substr(1);
}
