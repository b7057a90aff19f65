// The name rule: a target pattern's name mask applied to a source's name, the way a rename
// mask works ("*" copies the rest of the source's part from the same position, "." moves
// from the base name to the extension).
#include "links/batch.h"

namespace velmora {

std::string ComposeLinkName(std::string_view pattern, std::string_view source, char sep) {
    if (pattern.size() < 4) {
        return std::string(pattern);
    }
    const std::size_t k = pattern.rfind(sep);
    if (k == std::string_view::npos) {
        return std::string(pattern);
    }
    const std::string_view mask = pattern.substr(k + 1);

    const std::size_t nameStart = source.rfind(sep);
    const std::string_view name =
        nameStart == std::string_view::npos ? source : source.substr(nameStart + 1);
    const std::size_t dot = name.rfind('.');
    const std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);

    // States: 0 base part before any "*"; 1 base part after "*" (letters dropped up to the
    // next dot); 2 extension part before any "*"; 3 after the extension's "*" or a second dot.
    int state = 0;
    std::size_t pos = 0;
    bool dotPending = false;
    std::string result(pattern.substr(0, k + 1));
    result.reserve(result.size() + name.size() + mask.size() + 1);
    const auto flushDot = [&] {
        if (dotPending) {
            result += '.';
            dotPending = false;
        }
    };
    for (const char ch : mask) {
        if (ch == '*') {
            if (state == 0) {
                state = 1;
                if (pos < base.size()) {
                    result += base.substr(pos);
                }
            } else if (state == 2) {
                flushDot();
                state = 3;
                if (pos < extension.size()) {
                    result += extension.substr(pos);
                }
            }
        } else if (ch == '.') {
            state = state < 2 ? 2 : 3;
            dotPending = true;
            pos = 0;  // the character after the dot is at position 0 of its part
            continue;
        } else if (state != 1) {
            flushDot();
            result += ch;
        }
        ++pos;
    }
    return result;  // a dot still pending at the end is not written
}

}  // namespace velmora
