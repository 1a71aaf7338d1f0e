// Saves on Windows through a copy of the settings file (WindowsSave.cpp);
// what it checks, for the tests to try it against the system's functions.
#pragma once

#ifdef _WIN32
#include <string>
#include <utility>
#include <vector>

// The name of the copy that a save of the file at path writes into.
std::string SaveCopyName(const std::string& path);

// Whether copy holds a save of the keys written (each with its text) into
// section of file, as the system's profile functions read both: the names
// of its sections those of file, with section at their end when file has
// none that they take for it; section's keys as written and its other lines
// as file's; the last section as file's.
bool CopyHoldsTheSave(const char* file, const char* copy, const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& written);
#endif
