#include "file/xml_shape_check.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace {

// Every step below mirrors how TinyXML reads the same construct in its legacy (byte) encoding,
// so that the nesting counted here is the nesting the parser will descend into. A step answers
// the position after what it read, the end of the text when the text ran out, or kFail where
// the parser itself gives up (it then refuses the text, and this look has nothing to add).
constexpr std::size_t kFail = std::string_view::npos;

enum class Node { Declaration, Comment, Cdata, Unknown, Element };

class ShapeScanner {
public:
    explicit ShapeScanner(std::string_view text) : m_s(text), m_n(text.size()) {}

    XmlShapeCheck Run()
    {
        if (const std::size_t nul = m_s.find('\0'); nul != std::string_view::npos)
            return Fault(nul, "the file holds a NUL byte: it is not a text file");
        bool rootRead = false;
        for (std::size_t p = SkipBlanks(0); p < m_n; p = SkipBlanks(p)) {
            const std::size_t start = p;
            if (m_s[p] != '<') {
                if (rootRead)
                    return Trailing(p);
                return Stop(p);   // the parser stops here: a document starts with a tag
            }
            const Node node = Identify(p);
            if (rootRead && node != Node::Comment)
                return Trailing(p);
            if (node == Node::Element) {
                if (std::optional<XmlShapeCheck> end = ScanElement(p))
                    return *end;
                rootRead = true;
            } else {
                p = SkipNode(p, node);
            }
            if (p == kFail)
                return Stop(start);
        }
        return Stop(m_n);
    }

private:
    struct Open {
        std::size_t at;          // the '<' of its start tag
        std::string_view name;
    };

    char At(std::size_t p) const { return p < m_n ? m_s[p] : '\0'; }
    bool StartsWith(std::size_t p, std::string_view what) const { return m_s.substr(std::min(p, m_n)).starts_with(what); }
    bool StartsWithAnyCase(std::size_t p, std::string_view what) const
    {
        if (p > m_n || m_n - p < what.size())
            return false;
        for (std::size_t i = 0; i < what.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(m_s[p + i])) != std::tolower(static_cast<unsigned char>(what[i])))
                return false;
        }
        return true;
    }
    static bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r'; }
    // Bytes from 127 up count as letters: the parser cannot tell what they are.
    static bool IsAlpha(char c) { return static_cast<unsigned char>(c) >= 127 || std::isalpha(static_cast<unsigned char>(c)); }
    static bool IsAlnum(char c) { return static_cast<unsigned char>(c) >= 127 || std::isalnum(static_cast<unsigned char>(c)); }

    std::size_t SkipBlanks(std::size_t p) const
    {
        while (p < m_n && IsBlank(m_s[p]))
            ++p;
        return p;
    }

    std::size_t ReadName(std::size_t p) const
    {
        if (!IsAlpha(At(p)) && At(p) != '_')
            return kFail;
        while (p < m_n && (IsAlnum(m_s[p]) || m_s[p] == '_' || m_s[p] == '-' || m_s[p] == '.' || m_s[p] == ':'))
            ++p;
        return p;
    }

    // A character reference "&#x41;" or "&#65;" runs to the next ';', wherever that is, when
    // the digits before it reach back to the 'x' or '#'. Named entities hold no markup.
    std::size_t ReadEntity(std::size_t p) const
    {
        if (At(p + 1) != '#' || At(p + 2) == '\0')
            return p + 1;
        const bool hex = At(p + 2) == 'x';
        if (hex && p + 3 >= m_n)
            return kFail;
        const std::size_t semicolon = m_s.find(';', p + (hex ? 3 : 2));
        if (semicolon == std::string_view::npos)
            return kFail;
        const char stop = hex ? 'x' : '#';
        for (std::size_t q = semicolon - 1; m_s[q] != stop; --q) {
            if (!(hex ? std::isxdigit(static_cast<unsigned char>(m_s[q])) : std::isdigit(static_cast<unsigned char>(m_s[q]))))
                return kFail;
        }
        return semicolon + 1;
    }

    // Text up to and past end, references read as the parser reads them.
    std::size_t ReadText(std::size_t p, std::string_view end) const
    {
        while (p < m_n && !StartsWith(p, end))
            p = m_s[p] == '&' ? ReadEntity(p) : p + 1;
        return p >= m_n ? p : p + end.size();   // p is kFail or the end of the text too
    }

    std::size_t ReadAttribute(std::size_t p) const
    {
        p = ReadName(SkipBlanks(p));
        if (p == kFail || p >= m_n)
            return p;
        p = SkipBlanks(p);
        if (p >= m_n)
            return m_n;
        if (m_s[p] != '=')
            return kFail;
        p = SkipBlanks(p + 1);
        if (p >= m_n)
            return p;
        if (m_s[p] == '"' || m_s[p] == '\'')
            return ReadText(p + 1, m_s.substr(p, 1));
        for (; p < m_n && !IsBlank(m_s[p]) && m_s[p] != '/' && m_s[p] != '>'; ++p) {
            if (m_s[p] == '"' || m_s[p] == '\'')
                return kFail;
        }
        return p;
    }

    Node Identify(std::size_t p) const
    {
        if (StartsWithAnyCase(p, "<?xml"))
            return Node::Declaration;
        if (StartsWith(p, "<!--"))
            return Node::Comment;
        if (StartsWith(p, "<![CDATA["))
            return Node::Cdata;
        if (StartsWith(p, "<!"))
            return Node::Unknown;
        return IsAlpha(At(p + 1)) || At(p + 1) == '_' ? Node::Element : Node::Unknown;
    }

    // Every node but an element: none of them nests.
    std::size_t SkipNode(std::size_t p, Node node) const
    {
        auto past = [&](std::size_t from, std::string_view end) {
            const std::size_t at = m_s.find(end, std::min(from, m_n));
            return at == std::string_view::npos ? m_n : at + end.size();
        };
        switch (node) {
        case Node::Comment:
            return past(p + 4, "-->");
        case Node::Cdata:
            return past(p + 9, "]]>");
        case Node::Declaration:
            for (p += 5; p < m_n && m_s[p] != '>';) {
                p = SkipBlanks(p);
                if (StartsWithAnyCase(p, "version") || StartsWithAnyCase(p, "encoding") ||
                    StartsWithAnyCase(p, "standalone")) {
                    p = ReadAttribute(p);
                    if (p == kFail)
                        return kFail;
                } else {
                    while (p < m_n && m_s[p] != '>' && !IsBlank(m_s[p]))
                        ++p;
                }
            }
            return p >= m_n ? m_n : p + 1;
        case Node::Unknown:
        case Node::Element:
            break;
        }
        return past(p + 1, ">");
    }

    // A start tag from its '<': the position after it, and whether it closed itself ("/>").
    // One past the end of the text when the text ran out inside the tag.
    std::size_t ReadStartTag(std::size_t p, bool* empty) const
    {
        p = ReadName(p + 1);
        while (p != kFail && p < m_n) {
            p = SkipBlanks(p);
            if (At(p) == '/' && At(p + 1) == '>') {
                *empty = true;
                return p + 2;
            }
            if (At(p) == '/')
                return p + 1 >= m_n ? m_n + 1 : kFail;
            if (At(p) == '>') {
                *empty = false;
                return p + 1;
            }
            if (p < m_n)
                p = ReadAttribute(p);
        }
        return p == kFail ? kFail : m_n + 1;
    }

    // An element with everything inside it, without recursion; p moves past it. A result when
    // the look ends inside it.
    std::optional<XmlShapeCheck> ScanElement(std::size_t& p) const
    {
        std::vector<Open> open;
        for (;;) {
            // p is at the '<' of a start tag.
            bool empty = false;
            const std::size_t start = p;
            p = ReadStartTag(p, &empty);
            if (p == kFail)
                return Stop(start);
            if (p > m_n)
                return EndsInside(open);
            if (!empty) {
                open.push_back({start, m_s.substr(start + 1, ReadName(start + 1) - start - 1)});
                if (open.size() > kMaxXmlDepth)
                    return Fault(start, "the elements nest more than " + std::to_string(kMaxXmlDepth) +
                                            " levels deep, far deeper than any configuration file");
            }
            // The contents of the innermost open element, up to the next start tag.
            while (!open.empty()) {
                p = SkipBlanks(p);
                const std::size_t here = p;
                if (p >= m_n)
                    return EndsInside(open);
                if (m_s[p] != '<') {
                    p = ReadText(p, "<");
                    if (p != kFail && p < m_n)
                        --p;
                } else if (StartsWith(p, "</")) {
                    const std::string_view name = open.back().name;
                    p = StartsWith(p + 2, name) ? SkipBlanks(p + 2 + name.size()) : kFail;
                    if (p < m_n && m_s[p] == '>') {
                        open.pop_back();
                        ++p;
                    } else if (p < m_n) {
                        p = kFail;
                    }
                } else if (const Node node = Identify(p); node == Node::Element) {
                    break;
                } else {
                    p = SkipNode(p, node);
                }
                if (p == kFail)
                    return Stop(here);
                if (p >= m_n && !open.empty())
                    return EndsInside(open);
            }
            if (open.empty())
                return std::nullopt;
        }
    }

    int LineAt(std::size_t p) const
    {
        return 1 + static_cast<int>(std::count(m_s.begin(), m_s.begin() + static_cast<long>(std::min(p, m_n)), '\n'));
    }

    XmlShapeCheck Fault(std::size_t p, std::string message) const { return {false, LineAt(p), std::move(message)}; }
    XmlShapeCheck Stop(std::size_t p) const { return {true, LineAt(p), {}}; }

    XmlShapeCheck Trailing(std::size_t p) const
    {
        return Fault(p, "there is more after the end of the root element; only blanks and comments may follow it");
    }

    // The text ran out: the last line and the innermost element left open.
    XmlShapeCheck EndsInside(const std::vector<Open>& open) const
    {
        const std::size_t last = m_n > 0 && m_s[m_n - 1] == '\n' ? m_n - 1 : m_n;
        const std::string where = open.empty() ? std::string("its first start tag")
                                                : "<" + std::string(open.back().name) + "> of line " +
                                                      std::to_string(LineAt(open.back().at));
        return Fault(last, "the file ends inside " + where + ": it has been cut off");
    }

    std::string_view m_s;
    std::size_t m_n;
};

} // namespace

XmlShapeCheck gw::CheckXmlShape(std::string_view text)
{
    return ShapeScanner(text).Run();
}
