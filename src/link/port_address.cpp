#include "link/port_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace {

constexpr int kLongestConnectTimeoutMs = 300'000;

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char expected, char given) { return std::tolower(static_cast<unsigned char>(given)) == expected; });
}

std::string FormsText()
{
    return std::string("a serial device such as /dev/ttyUSB0, ") + kRawTcpScheme + "HOST:PORT or " + kRfc2217Scheme +
           "HOST:PORT";
}

// "?timeout=SECONDS" (a decimal fraction is allowed); a failure names the fault.
Outcome ReadOptions(std::string_view options, int& timeoutMs)
{
    while (!options.empty()) {
        const std::size_t amp = options.find('&');
        const std::string_view option = options.substr(0, amp);
        options = amp == std::string_view::npos ? std::string_view() : options.substr(amp + 1);
        const std::size_t eq = option.find('=');
        if (option.substr(0, eq) != "timeout" || eq == std::string_view::npos)
            return gw::Failure("\"" + std::string(option) + "\" is not an option here (only timeout=SECONDS is)");
        const std::string value(option.substr(eq + 1));
        double seconds = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
        if (ec != std::errc() || end != value.data() + value.size() || !(seconds > 0) ||
            seconds * 1000 > kLongestConnectTimeoutMs) {
            return gw::Failure("timeout takes seconds from more than 0 to " + std::to_string(kLongestConnectTimeoutMs / 1000) +
                    ", not \"" + value + "\"");
        }
        timeoutMs = std::max(1, static_cast<int>(seconds * 1000));
    }
    return {};
}

// "HOST:PORT", "[V6]:PORT"; a failure names the fault.
Outcome ReadHostAndPort(std::string_view text, std::string& host, std::uint16_t& port)
{
    std::string_view portText;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return gw::Failure("the IPv6 address has no closing bracket");
        host = std::string(text.substr(1, close - 1));
        if (close + 1 >= text.size() || text[close + 1] != ':')
            return gw::Failure("the port number is missing (HOST:PORT)");
        portText = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos)
            return gw::Failure("the port number is missing (HOST:PORT)");
        host = std::string(text.substr(0, colon));
        if (host.find(':') != std::string::npos)
            return gw::Failure("an IPv6 address goes in brackets, such as [::1]:4001");
        portText = text.substr(colon + 1);
    }
    if (host.empty() || host.find_first_of(" \t/@[]") != std::string::npos)
        return gw::Failure(host.empty() ? "the host is missing (HOST:PORT)" : "\"" + host + "\" is not a host name or address");
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
    if (portText.empty() || ec != std::errc() || end != portText.data() + portText.size() || value < 1 || value > 65535)
        return gw::Failure("the port number must be from 1 to 65535, not \"" + std::string(portText) + "\"");
    port = static_cast<std::uint16_t>(value);
    return {};
}

} // namespace

Outcome gw::ParsePortAddress(const std::string& name, PortAddress& address)
{
    address = PortAddress{};
    if (name.empty())
        return gw::Failure("No port was given: name " + FormsText() + ".");
    const std::size_t scheme = name.find("://");
    if (scheme == std::string::npos) {
        address.path = name;
        return {};
    }
    if (StartsWithNoCase(name, kRawTcpScheme))
        address.kind = PortKind::RawTcp;
    else if (StartsWithNoCase(name, kRfc2217Scheme))
        address.kind = PortKind::Rfc2217;
    else
        return gw::Failure(name + " is not a port: name " + FormsText() + ".");
    std::string_view rest = std::string_view(name).substr(scheme + 3);
    const std::size_t query = rest.find('?');
    Outcome read = query == std::string_view::npos ? Outcome{} : ReadOptions(rest.substr(query + 1), address.connectTimeoutMs);
    if (read)
        read = ReadHostAndPort(rest.substr(0, query), address.host, address.port);
    if (!read)
        return gw::Failure(name + ": " + read.message + ".");
    return {};
}

std::string gw::HostAndPort(const std::string& host, std::uint16_t port)
{
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string gw::NetworkPortName(PortKind kind, const std::string& hostAndPort)
{
    return std::string(kind == PortKind::Rfc2217 ? kRfc2217Scheme : kRawTcpScheme) + hostAndPort;
}
