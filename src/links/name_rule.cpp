// The name rule: a target pattern's name mask applied to a source's name, the way a rename
// mask works. The mask's dots cut it into parts: the first stands for the source's base
// name, the second for its extension, any further part is plain text. Within the first two
// parts, letters before a "*" take the places of the source's letters and the "*" copies
// the rest of the source's part from that position on.
#include "links/name_rule.h"

namespace velmora {

namespace {

struct SourceName {
    std::string_view base;       // up to the last dot (the whole name if it has none)
    std::string_view extension;  // after the last dot, without it
};

SourceName SplitSourceName(std::string_view source, char sep) {
    const std::size_t cut = source.rfind(sep);
    const std::string_view name = cut == std::string_view::npos ? source : source.substr(cut + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {name, {}};
    }
    return {name.substr(0, dot), name.substr(dot + 1)};
}

// Where the character after the first `count` characters of UTF-8 `text` starts (a
// continuation byte is no character of its own).
std::size_t AfterCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    while (at < text.size() && count > 0) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
        --count;
    }
    return at;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char ch : text) {
        count += (static_cast<unsigned char>(ch) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

// The mask's letters before its first "*", then the source part from that position on,
// counted in characters: each letter of the mask takes the place of one of the source's.
void CopyUpToStar(std::string_view maskPart, std::string_view sourcePart, std::size_t star,
                  std::string& out) {
    out += maskPart.substr(0, star);
    out += sourcePart.substr(AfterCharacters(sourcePart, CharacterCount(maskPart.substr(0, star))));
}

void AppendWithoutStars(std::string_view text, std::string& out) {
    for (const char ch : text) {
        if (ch != '*') {
            out += ch;
        }
    }
}

// The base part: letters after its "*" are dropped.
void ApplyBasePart(std::string_view maskPart, std::string_view base, std::string& out) {
    const std::size_t star = maskPart.find('*');
    if (star == std::string_view::npos) {
        out += maskPart;
    } else {
        CopyUpToStar(maskPart, base, star, out);
    }
}

// The extension part, with the dot before it. Letters after its "*" are kept, and a "*"
// writes the dot even when the source has no extension ("README" with "*.*" gives
// "README.", which the full-name step drops again).
void ApplyExtensionPart(std::string_view maskPart, std::string_view extension, std::string& out) {
    const std::size_t star = maskPart.find('*');
    if (star == std::string_view::npos) {
        if (!maskPart.empty()) {
            out += '.';
            out += maskPart;
        }
        return;
    }
    out += '.';
    CopyUpToStar(maskPart, extension, star, out);
    AppendWithoutStars(maskPart.substr(star + 1), out);
}

// A part after the second dot is plain text, with its dot; its "*" stands for nothing.
void ApplyPlainPart(std::string_view maskPart, std::string& out) {
    if (maskPart.find_first_not_of('*') != std::string_view::npos) {
        out += '.';
        AppendWithoutStars(maskPart, out);
    }
}

void ApplyMask(std::string_view mask, const SourceName& name, std::string& out) {
    std::size_t start = 0;
    for (int part = 0; start <= mask.size(); ++part) {
        std::size_t dot = mask.find('.', start);
        if (dot == std::string_view::npos) {
            dot = mask.size();
        }
        const std::string_view maskPart = mask.substr(start, dot - start);
        if (part == 0) {
            ApplyBasePart(maskPart, name.base, out);
        } else if (part == 1) {
            ApplyExtensionPart(maskPart, name.extension, out);
        } else {
            ApplyPlainPart(maskPart, out);
        }
        start = dot + 1;
    }
}

}  // namespace

std::string ComposeLinkName(std::string_view pattern, std::string_view source, char sep) {
    const std::size_t k = pattern.rfind(sep);
    if (pattern.size() < 4 || k == std::string_view::npos) {
        return std::string(pattern);  // too short, or no folder part: the name as it stands
    }
    std::string name(pattern.substr(0, k + 1));  // the folder part
    ApplyMask(pattern.substr(k + 1), SplitSourceName(source, sep), name);
    return name;
}

}  // namespace velmora
