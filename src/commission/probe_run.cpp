#include "commission/probe_run.h"

#include <algorithm>

#include "commission/value_text.h"

#include "model/data_extent_check.h"
#include "model/device_config.h"
#include "model/value_rules.h"

Outcome gw::CheckBeforeCommissioning(const CDeviceConfig& root)
{
    if (Outcome empty = root.CheckEmpty(); !empty)
        return empty;
    // A value no edit could have stored is not polled with: every such item is named.
    std::vector<ValueFault> faults = CheckItemValues(root);
    if (faults.empty())
        faults = CheckDataPastLastAddress(root);
    if (faults.empty())
        return {};
    std::string message;
    for (const ValueFault& fault : faults)
        message += (message.empty() ? "" : "\n") + DescribeValueFault(fault);
    return Failure(std::move(message), faults.front().code);
}

Outcome gw::ParseValueList(const std::string& text, std::vector<std::uint16_t>& values)
{
    values.clear();
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string part = text.substr(at, comma - at);
        std::uint32_t value = 0;
        if (!ParseValueText(part, 0xFFFF, value)) {
            const auto first = part.find_first_not_of(' ');
            return Failure("\"" + (first == std::string::npos ? std::string() : part.substr(first, part.find_last_not_of(' ') + 1 - first)) +
                    "\" is not a value from 0 to 65535 (decimal, or hex after 0x)");
        }
        values.push_back(static_cast<std::uint16_t>(value));
        at = comma + 1;
    }
    return {};
}

Outcome gw::ReadProbeSetup(const CDeviceConfig& root, ProbeSetup& setup)
{
    if (Outcome line = ReadLineSettings(root, setup.line); !line)
        return line;
    setup.commands.clear();
    setup.names.clear();
    for (const auto& command : root.Subnet().GetNodeAt(0)->Commands()) {
        setup.commands.push_back(MakeRequest(*command));
        setup.names.push_back(command->GetName());
    }
    return {};
}

std::vector<CommandPoll> gw::PollCommands(CModbusMaster& master, const ProbeSetup& setup, std::span<const int> numbers,
                                          const WriteValues& writes, const std::function<bool(const CommandPoll&)>& onPolled)
{
    std::vector<CommandPoll> polls;
    const int total = static_cast<int>(setup.commands.size());
    for (int number = 1; number <= total; ++number) {
        if (!numbers.empty() && std::find(numbers.begin(), numbers.end(), number) == numbers.end())
            continue;
        const CommandRequest& request = setup.commands[static_cast<std::size_t>(number - 1)];
        CommandPoll poll;
        poll.number = number;
        if (!request.fault.empty()) {
            poll.outcome.status = PollStatus::Error;
            poll.outcome.detail = request.fault;
        } else if (request.IsRead()) {
            poll.outcome = master.Read(request, number);
        } else if (const auto values = writes.find(number); values != writes.end()) {
            poll.outcome = master.Write(request, values->second, number);
        } else {
            poll.outcome.status = PollStatus::Skipped;
        }
        if (poll.outcome.stopped)
            break;
        polls.push_back(poll);
        if (onPolled && !onPolled(polls.back()))
            break;
        if (poll.outcome.lineLost)
            break;
    }
    return polls;
}

InputImage gw::BuildInputImage(const ProbeSetup& setup, std::span<const CommandPoll> polls)
{
    InputImage image;
    for (const CommandPoll& poll : polls) {
        if (poll.number < 1 || poll.number > static_cast<int>(setup.commands.size()))
            continue;
        AddToImage(image, setup.commands[static_cast<std::size_t>(poll.number - 1)], poll.number, poll.outcome.values);
    }
    return image;
}
