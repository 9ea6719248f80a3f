#include "file/character_references.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "file/text_encoding.h"

namespace {

constexpr std::string_view kNamedEntities[] = {"amp", "lt", "gt", "quot", "apos"};

XmlShapeCheck Refuse(const std::string& text, std::size_t at, std::string message)
{
    XmlShapeCheck check;
    check.ok = false;
    check.line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
    check.message = std::move(message);
    return check;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Utf8Of(char32_t cp)
{
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string CodePointName(char32_t cp)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(cp));
    return name;
}

// The number of a character reference, given as what stands between "&" and ";" ("#65" or
// "#x41"); false when it is not written as one.
bool ReadCharacterNumber(std::string_view reference, char32_t* cp)
{
    const bool hex = reference.size() > 1 && reference[1] == 'x';
    const std::string_view digits = reference.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return false;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                        : hex && std::isxdigit(static_cast<unsigned char>(c)) ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                        : -1;
        if (digit < 0)
            return false;
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    *cp = value;
    return true;
}

// Where the markup that starts at p ends, for the parts whose text the parser does not decode.
std::size_t SkipUndecoded(const std::string& text, std::size_t p)
{
    const auto past = [&](std::string_view end) {
        const std::size_t at = text.find(end, p);
        return at == std::string::npos ? text.size() : at + end.size();
    };
    if (text.compare(p, 4, "<!--") == 0)
        return past("-->");
    if (text.compare(p, 9, "<![CDATA[") == 0)
        return past("]]>");
    if (text.compare(p, 2, "<?") == 0)
        return past("?>");
    if (text.compare(p, 2, "<!") == 0)
        return past(">");
    return p;
}

} // namespace

XmlShapeCheck gw::CheckDeclaredEncoding(const std::string& text, bool bom, bool* utf8)
{
    *utf8 = bom;
    if (text.compare(0, 5, "<?xml") != 0)
        return {};
    const std::size_t end = text.find("?>");
    const std::string declaration = text.substr(0, end);
    const std::size_t name = declaration.find("encoding");
    if (name == std::string::npos)
        return {};
    const std::size_t quote = declaration.find_first_of("\"'", name);
    if (quote == std::string::npos)
        return {};
    const std::size_t close = declaration.find(declaration[quote], quote + 1);
    const std::string encoding = declaration.substr(quote + 1, close == std::string::npos ? std::string::npos : close - quote - 1);
    const std::string lower = Lower(encoding);
    if (lower == "utf-8" || lower == "utf8") {
        *utf8 = true;
        return {};
    }
    if (bom || lower == "gb2312" || lower == "gbk")
        return {};
    return Refuse(text, name, "the file declares the encoding \"" + encoding +
                                  "\"; only GB2312/GBK (or UTF-8) files can be read");
}

XmlShapeCheck gw::ResolveCharacterReferences(std::string& text, bool utf8)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t p = 0; p < text.size();) {
        if (const std::size_t skipped = SkipUndecoded(text, p); skipped != p) {
            out.append(text, p, skipped - p);
            p = skipped;
            continue;
        }
        if (text[p] != '&') {
            out += text[p++];
            continue;
        }
        const std::size_t semicolon = text.find(';', p);
        const std::size_t blank = text.find_first_of(" \t\n<>\"'&", p + 1);
        if (semicolon == std::string::npos || (blank != std::string::npos && blank < semicolon))
            return Refuse(text, p, "an \"&\" that starts no reference; write it as \"&amp;\"");
        const std::string_view name(text.data() + p + 1, semicolon - p - 1);
        const std::string reference = "\"&" + std::string(name) + ";\"";
        if (std::find(std::begin(kNamedEntities), std::end(kNamedEntities), name) != std::end(kNamedEntities)) {
            out.append(text, p, semicolon + 1 - p);
            p = semicolon + 1;
            continue;
        }
        char32_t cp = 0;
        if (name.empty() || name[0] != '#' || !ReadCharacterNumber(name, &cp))
            return Refuse(text, p, "the undefined entity " + reference);
        if (cp == 0)
            return Refuse(text, p, "the character reference " + reference + " stands for NUL, which no text may hold");
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Refuse(text, p, "the character reference " + reference + " stands for no character");
        if (cp < 0x80) {
            out.append(text, p, semicolon + 1 - p);   // the parser reads these itself
        } else if (utf8) {
            out += Utf8Of(cp);
        } else if (const auto gbk = Utf8ToGbk(Utf8Of(cp))) {
            out += *gbk;
        } else {
            return Refuse(text, p, "the character reference " + reference + " stands for " + CodePointName(cp) +
                                       ", which the file's GB2312/GBK encoding cannot hold");
        }
        p = semicolon + 1;
    }
    text = std::move(out);
    return {};
}
