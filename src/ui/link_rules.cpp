#include "ui/link_rules.h"

#include "text/safe_format.h"

namespace velmora {

LinkDialogFields MainDialogFields(const std::vector<std::string>& paths, std::string_view targetDir,
                                  const TextCatalog& texts) {
    LinkDialogFields fields{{}, std::string(targetDir)};
    const bool oneFile = paths.size() == 1 && (paths[0].empty() || paths[0].back() != '\\');
    if (!oneFile) {
        fields.caption = texts.Format(txt::kCaptionSeveral, paths.size());
        fields.target += "*.*";
        return fields;
    }
    const std::size_t slash = paths[0].find_last_of('\\');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(paths[0])
                                      : std::string_view(paths[0]).substr(slash + 1);
    // The label gives its first letter's "&" to the target edit; the name's own show.
    fields.caption = texts.Format(txt::kCaptionOneFile, WithLiteralAmpersands(name));
    fields.target += name;
    return fields;
}

}  // namespace velmora
