#include "file/text_encoding.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion of a whole text; none on any invalid or unconvertible sequence.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input)
{
    bool plain = true;
    for (unsigned char c : input) {
        if (c >= 0x80) {
            plain = false;
            break;
        }
    }
    if (plain)
        return std::string(input);   // ASCII is the same in both encodings

    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string output;
    output.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    const bool ok = rc != static_cast<std::size_t>(-1) && inLeft == 0 &&
                    iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
}

} // namespace

std::optional<std::string> gw::Utf8ToGbk(std::string_view utf8)
{
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    return Convert("GBK", "UTF-8", utf8);
}

std::optional<std::string> gw::GbkToUtf8(std::string_view gbk)
{
    return Convert("UTF-8", "GBK", gbk);
}

bool gw::IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}
