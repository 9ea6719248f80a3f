#pragma once
// What a transfer tells the one who started it: the messages it shows on its way, every
// frame that crosses the line, and how far it has got.

#include <cstdint>
#include <span>
#include <string>

enum class FrameDirection { ToModule, FromModule };

class CLinkObserver {
public:
    virtual ~CLinkObserver() = default;
    // A message the transfer shows before it ends (an empty item, unsupported hardware).
    virtual void ShowMessage(const std::string& /*text*/) {}
    // A frame written whole, or the bytes a read returned.
    virtual void OnFrame(FrameDirection /*direction*/, std::span<const std::uint8_t> /*bytes*/) {}
    // Exchange done of planned, after each exchange; done counts up by one. planned is 0 until
    // the module has said enough for the whole run to be counted, and stays as it is from then.
    virtual void OnProgress(int /*done*/, int /*planned*/) {}
};
