// The pure rules of the main dialog: the caption above the target and the target it opens with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/texts.h"

namespace velmora {

struct LinkDialogFields {
    std::string caption;
    std::string target;
};

// For one entry that is no folder (no backslash at its end): text 5 with the entry's name
// (its "&" doubled, so the label shows them) and the target with the name appended, as given
// ("D:\Links\" + "C:\Data\report.txt" -> "D:\Links\report.txt"). For anything else: text 6
// with the number of entries and the target with "*.*" appended. A folder entry ends with '\'
// or '/'. A target that names an existing folder (`targetIsFolder`) without a backslash at
// its end gets one first ("D:\Links" -> "D:\Links\*.*", never "D:\Links*.*").
LinkDialogFields MainDialogFields(const std::vector<std::string>& paths, std::string_view targetDir,
                                  bool targetIsFolder, const TextCatalog& texts);

}  // namespace velmora
