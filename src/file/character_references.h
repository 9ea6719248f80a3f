#pragma once
// What a configuration file's text says about its own characters, judged before TinyXML reads
// it: the encoding its declaration names, and the references ("&amp;", "&#x4E2D;") in its
// values. The parser would silently change what it cannot handle (it cuts a value at "&#0;",
// keeps only the low byte of "&#x4E2D;", reads "&foo;" as "foo;" and ignores the declared
// encoding), so such a text is refused instead, naming the line.

#include <string>

#include "file/xml_shape_check.h"

namespace gw {

// The file's declared encoding is one it can be read in: GB2312 or GBK (what the file format
// writes), UTF-8, or none; a text that starts with a UTF-8 byte-order mark (bom) is UTF-8
// whatever it declares. utf8 tells which of the two the text is to be read in.
XmlShapeCheck CheckDeclaredEncoding(const std::string& text, bool bom, bool* utf8);

// Every "&" in the text outside comments, CDATA sections and declarations must start one of
// the five entity references XML defines or a character reference. A character reference to
// a character from U+0080 on is replaced by that character's bytes in the text's encoding, so
// that the parser reads it whole; one to NUL, to no character at all, or to a character the
// encoding cannot hold is refused.
XmlShapeCheck ResolveCharacterReferences(std::string& text, bool utf8);

} // namespace gw
