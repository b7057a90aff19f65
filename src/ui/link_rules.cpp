#include "ui/link_rules.h"

#include "platform/path.h"
#include "text/safe_format.h"

namespace velmora {

LinkDialogFields MainDialogFields(const std::vector<std::string>& paths, std::string_view targetDir,
                                  bool targetIsFolder, const TextCatalog& texts) {
    LinkDialogFields fields{{}, std::string(targetDir)};
    // A folder given without its backslash gets one: its name is no part of the link's.
    if (targetIsFolder && !targetDir.empty() && !path::IsSeparator(targetDir.back(), '\\')) {
        fields.target += '\\';
    }
    const bool oneFile =
        paths.size() == 1 && (paths[0].empty() || !path::IsSeparator(paths[0].back(), '\\'));
    if (!oneFile) {
        fields.caption = texts.Format(txt::kCaptionSeveral, paths.size());
        fields.target += "*.*";
        return fields;
    }
    const std::string_view name = path::FileName(paths[0], '\\');
    // The label gives its first letter's "&" to the target edit; the name's own show.
    fields.caption = texts.Format(txt::kCaptionOneFile, WithLiteralAmpersands(name));
    fields.target += name;
    return fields;
}

}  // namespace velmora
