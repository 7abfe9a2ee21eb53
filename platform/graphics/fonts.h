#pragma once
// The font faces installed on the system, in Windows-1252, in the order the system lists
// them. Needs a running QGuiApplication.
#include <string>
#include <vector>

std::vector<std::string> InstalledFontNames();
