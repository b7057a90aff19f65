// The pure rules of the settings dialog and the help: where its file browsers start, which help
// file is used when the settings name none and what a Help button asks the help viewer for,
// and when the main dialog tells the user about a new language.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The program's path with its last three characters replaced by "chm" ("C:\x\velmora.exe"
// -> "C:\x\velmora.chm"); empty when the path is shorter than three characters.
std::string DefaultHelpPath(std::string_view programPath);

// The help viewer's argument that opens `topic` of `helpFile` ("file::/topic"), or the
// file's start page when `topic` is empty.
std::string HelpTopicArgument(std::string_view helpFile, std::string_view topic);

// The name a file browser starts with: the edit's text, with `pattern` ("*.lng", "*.chm")
// appended when the text ends with a backslash, so that the browser opens in that folder and
// shows the matching files. Empty and relative texts are passed on unchanged.
std::string BrowseInitialName(std::string_view editText, std::string_view pattern);

// True when the main dialog must say that the language changes at the next start: the
// settings closed with OK, every write succeeded, and the language-file text changed byte for
// byte (letter case and relative against absolute forms count as a change).
bool LanguageNoticeNeeded(bool closedWithOk, bool saveFailed, std::string_view languageBefore,
                          std::string_view languageAfter);

// The notice itself, in both languages; it has no string number and is never replaced.
std::string_view LanguageNoticeText();

}  // namespace velmora
