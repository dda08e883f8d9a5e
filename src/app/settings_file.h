// The settings file and the save-folder history: read at start, written at exit.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelnoro::app {

class Application;

// X and Y of the first position line, in twips.
std::optional<std::pair<long, long>> ReadWindowPosition(Application& app);
// Reads the settings file into PropertyLines and the controls, checks the save
// folder and loads the save log.
void ReadSettings(Application& app);
// Hides the property box and its pages and rebuilds the settings lines.
void RefreshPropertyList(Application& app);
// Writes the settings file and the save log; false when either failed.
bool WriteSettings(Application& app);
void PushFolderHistory(Application& app, const std::wstring& folder);

// The six settings lines built from the current settings.
std::vector<std::wstring> BuildSettingsLines(Application& app);
// The position value of a settings line: "X-Y", a leading minus belonging to X.
std::pair<long, long> ParsePositionValue(const std::wstring& line);

}  // namespace pelnoro::app
