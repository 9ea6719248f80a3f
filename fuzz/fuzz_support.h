#pragma once
// What the fuzz targets share: how a broken promise is reported, and the file text without the
// line that holds the time of writing.

#include <cstdio>
#include <cstdlib>
#include <string>

[[noreturn]] inline void FuzzFailure(const char* target, const char* what, const std::string& detail)
{
    std::fprintf(stderr, "%s: %s\n%s\n", target, what, detail.c_str());
    std::abort();
}

// The text without the "DateTime" header line, which holds the time of writing.
inline std::string WithoutDateTime(const std::string& text)
{
    const std::size_t at = text.find("<DateTime ");
    if (at == std::string::npos)
        return text;
    const std::size_t end = text.find('\n', at);
    return text.substr(0, at) + (end == std::string::npos ? std::string() : text.substr(end));
}
