#pragma once
// A linear look at an XML text before TinyXML parses it. The parser descends once per level of
// nesting, so a hostile text nested thousands of levels deep would exhaust the stack; and it
// names no line for a text that was cut off or that carries more after its root element. This
// look reads the text the way the parser does (tags, quoted values, character references,
// comments, CDATA sections, declarations) without building anything, and stops at the first
// such fault.

#include <string>
#include <string_view>

// A configuration file nests ten levels deep (Nordaq, Subnet, NodeList, Node, CommandList,
// Command, ItemList, Item, Combo, ComboIndex).
inline constexpr std::size_t kMaxXmlDepth = 32;

struct XmlShapeCheck {
    bool ok = true;        // false: the text is refused with message, at line
    int line = 1;          // the fault's line; when ok, the line where the parser stops reading
    std::string message;
};

namespace gw {

// The text must not hold NUL bytes, nest deeper than kMaxXmlDepth, end inside its root element
// or carry anything but blanks and comments after it.
XmlShapeCheck CheckXmlShape(std::string_view text);

} // namespace gw
