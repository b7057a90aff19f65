// The program's help in the system's help viewer (hh.exe): the file the HelpFile setting
// names when it exists, else the default help file beside the program.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "text/settings.h"
#include "text/texts.h"

namespace velmora {

class CHelpViewer {
public:
    // `settings` is read at every request, so a help file set in the settings dialog counts
    // from its OK on.
    CHelpViewer(std::string defaultPath, const Settings& settings, const TextCatalog& texts)
        : m_defaultPath(std::move(defaultPath)), m_settings(settings), m_texts(texts) {}

    // The HelpFile setting made absolute when it names an existing entry, else the default.
    std::string FilePath() const;
    // Starts the viewer with `argument`, owned by `owner`; message 1005 when it cannot be
    // started.
    void Open(HWND owner, const std::string& argument) const;

private:
    std::string m_defaultPath;
    const Settings& m_settings;
    const TextCatalog& m_texts;
};

}  // namespace velmora
