#pragma once
// What a transfer shows, sends, receives and reports as progress, for the transfer tests.

#include <cstdio>
#include <string>
#include <vector>

#include "link/link_observer.h"
#include "support/in_process_module.h"

struct Recorder : CLinkObserver {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        (direction == FrameDirection::ToModule ? sent : received).emplace_back(bytes.begin(), bytes.end());
    }
    void OnProgress(int done, int planned) override { progress.emplace_back(done, planned); }

    // The command codes sent, in hex; a run of more than two of one code as "10x7".
    std::string Codes() const
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

    std::vector<std::string> messages;
    std::vector<std::vector<std::uint8_t>> sent, received;
    std::vector<std::pair<int, int>> progress;   // (done, planned) as reported
};
