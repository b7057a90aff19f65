// Texts from a language file used as formats: whatever the file holds, formatting never
// reads an argument that was not passed, and a text whose conversions differ from the
// built-in text's is never used.
//
// Input: byte 0 picks the mode; then the format, a NUL, and (mode 1) the built-in text.
//   mode 0: one of the program's own format texts as the built-in, with its proper arguments;
//   mode 1: a fuzzed built-in text with a fuzzed argument list (a caller's mistake must not
//           read past the arguments either).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/safe_format.h"
#include "text/texts.h"

namespace {

using velmora::FormatArg;
using velmora::SafeFormat;

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "fuzz_safe_format: %s\n", what);
    std::abort();
}

// The expansion of a format that uses nothing but plain "%s", "%d" and "%%": the one
// case simple enough to compute here independently. Returns false for anything else.
bool PlainExpansion(std::string_view format, std::initializer_list<FormatArg> args,
                    std::string& out) {
    out.clear();
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 >= format.size()) return false;
        const char c = format[++i];
        if (c == '%') {
            out += '%';
        } else if (c == 's' && arg != args.end() &&
                   std::holds_alternative<std::string_view>(*arg)) {
            out += std::get<std::string_view>(*arg++);
        } else if (c == 'd' && arg != args.end() && std::holds_alternative<std::int64_t>(*arg)) {
            out += std::to_string(std::get<std::int64_t>(*arg++));
        } else {
            return false;
        }
    }
    return arg == args.end();
}

void CheckWith(std::string_view format, std::string_view builtin,
               std::initializer_list<FormatArg> args) {
    const std::string result = SafeFormat(format, builtin, args);
    const bool match = velmora::ConversionsMatch(format, builtin);
    if (!match && result != SafeFormat(builtin, builtin, args))
        Broken("a text that does not match was used as the format");
    std::string expected;
    if (match && PlainExpansion(format, args, expected) && result != expected)
        Broken("a plain format was expanded wrongly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = input.find('\0');
    const std::string_view format = input.substr(0, nul);
    const std::string_view rest =
        nul == std::string_view::npos ? std::string_view{} : input.substr(nul + 1);

    if (data[0] % 2 == 0) {
        const std::string_view name = "C:\\Docs\\report 100%.txt";
        const std::string_view reason = "Access is denied. %s %d %n\r\n";
        // Each of the program's formats with the arguments its callers pass.
        CheckWith(format, velmora::BuiltinText(velmora::txt::kFileLinkError), {name});
        CheckWith(format, velmora::BuiltinText(velmora::txt::kFolderLinkError), {name});
        CheckWith(format, velmora::BuiltinText(velmora::txt::kFolderError), {name});
        CheckWith(format, "%s\n%s", {name, reason});
        CheckWith(format, velmora::BuiltinText(velmora::txt::kCaptionOneFile), {name});
        CheckWith(format, velmora::BuiltinText(velmora::txt::kCaptionSeveral),
                  {std::int64_t{-2147483647 - 1}});
        CheckWith(format, velmora::BuiltinText(velmora::txt::kCommandFailed), {std::int64_t{1155}});
        return 0;
    }
    // A fuzzed built-in with 0, 1 or 2 arguments of either kind: it must not crash, hang or
    // read past the arguments (ASan and UBSan watch).
    const std::string_view builtin = rest;
    const std::uint8_t kinds = data[0] >> 1;
    const FormatArg s = std::string_view("text");
    const FormatArg d = std::int64_t{42};
    switch (kinds % 7) {
        case 0:
            (void)SafeFormat(format, builtin, {});
            break;
        case 1:
            (void)SafeFormat(format, builtin, {s});
            break;
        case 2:
            (void)SafeFormat(format, builtin, {d});
            break;
        case 3:
            (void)SafeFormat(format, builtin, {s, s});
            break;
        case 4:
            (void)SafeFormat(format, builtin, {s, d});
            break;
        case 5:
            (void)SafeFormat(format, builtin, {d, s});
            break;
        default:
            (void)SafeFormat(format, builtin, {d, d});
            break;
    }
    if (!velmora::ConversionsMatch(builtin, builtin) && builtin.find('%') == std::string_view::npos)
        Broken("a text without conversions does not match itself");
    return 0;
}
