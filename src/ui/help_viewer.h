// The program's help in the system's help viewer (hh.exe): the file the HelpFile setting
// names when it exists, else the default help file beside the program.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "text/settings.h"
#include "text/texts.h"

namespace velmora {

// The topics that windows open (pages of the help sources in help/).
namespace help_topic {
inline constexpr std::string_view kStart{};  // the help file's own start page
inline constexpr std::string_view kSettings = "prog_settings.htm";
inline constexpr std::string_view kErrorPrompt = "error_prompt.htm";
}  // namespace help_topic

class CHelpViewer {
public:
    // `settings` is read at every request, so a help file set in the settings dialog counts
    // from its OK on. A relative HelpFile is taken against `programFolder`.
    CHelpViewer(std::string programFolder, std::string defaultPath, const Settings& settings,
                const TextCatalog& texts)
        : m_programFolder(std::move(programFolder)),
          m_defaultPath(std::move(defaultPath)),
          m_settings(settings),
          m_texts(texts) {}
    virtual ~CHelpViewer() = default;
    CHelpViewer(const CHelpViewer&) = delete;
    CHelpViewer& operator=(const CHelpViewer&) = delete;

    // The HelpFile setting as a full name when it names an existing entry, else the default.
    std::string FilePath() const;
    // Opens `topic` (one of help_topic) of the help file in use, owned by `owner`.
    void OpenTopic(HWND owner, std::string_view topic) const;
    // Starts the viewer with `argument`; message 1005 when it cannot be started. Virtual so
    // that tests can see what would be opened.
    virtual void Open(HWND owner, const std::string& argument) const;

private:
    std::string m_programFolder;
    std::string m_defaultPath;
    const Settings& m_settings;
    const TextCatalog& m_texts;
};

}  // namespace velmora
