#pragma once
// What a transfer shows, sends, receives and reports as progress.

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "link/link_observer.h"

struct Recorder : CLinkObserver {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        (direction == FrameDirection::ToModule ? sent : received).emplace_back(bytes.begin(), bytes.end());
    }
    void OnProgress(int done, int planned) override { progress.emplace_back(done, planned); }

    // The command codes sent, in hex; a run of more than two of one code as "10x7".
    std::string Codes() const;

    std::vector<std::string> messages;
    std::vector<std::vector<std::uint8_t>> sent, received;
    std::vector<std::pair<int, int>> progress;   // (done, planned) as reported
};
