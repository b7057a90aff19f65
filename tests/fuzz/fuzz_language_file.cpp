// A language file of any content: reading it never fails, every text is valid UTF-8, and
// each replacement is then used the way the dialogs and prompts use it, as a safe format
// against its built-in text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/utf.h"
#include "support/cp1251.h"
#include "text/language_file.h"
#include "text/safe_format.h"
#include "text/texts.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "fuzz_language_file: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const velmora::LanguageTable table =
        velmora::ParseLanguageFile(bytes, velmora::test::Cp1251Decoder());
    const velmora::TextCatalog catalog(table);
    for (const auto& [id, text] : table) {
        if (!velmora::IsValidUtf8(text)) Broken("a text is not valid UTF-8");
        if (catalog.Text(id) != text) Broken("the table's text is not the one looked up");
        const std::string_view builtin = velmora::BuiltinText(id);
        // The prompt's format: the message, then the name and the system's reason.
        (void)velmora::SafeFormat(text + "\n%s", std::string(builtin) + "\n%s",
                                  {std::string_view("C:\\x"), std::string_view("reason")});
        (void)velmora::SafeFormat(text, builtin, {std::int64_t{7}});
        (void)velmora::SafeFormat(text, builtin, {std::string_view("C:\\x")});
    }
    return 0;
}
