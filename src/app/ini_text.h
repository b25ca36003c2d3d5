#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

// One line of a section: a key and its value, as the system's profile functions read them.
struct IniEntry {
    int line = 0;           // 1-based
    std::wstring key;       // without the blanks around it
    std::wstring value;     // without the blanks around it and one pair of quotes that open and close it
    bool hasEquals = true;  // false for a line without "=", which the system takes whole for a key
};

// A section header and the lines under it, up to the next header.
struct IniSection {
    int line = 0;       // of its header; 0 for the lines above the first header
    std::wstring name;  // as written between the brackets
    std::vector<IniEntry> entries;
};

// The text of a settings file, parsed as the profile functions parse it, with the line of each
// part, so that a problem can be named by its line. The first section holds the lines above the
// first header (which nothing reads), then come the sections in the file's order. Blank lines
// and comments (";" or "#" first) are left out: the system never looks them up.
std::vector<IniSection> ParseIniText(std::wstring_view text);

// `name` as sections and keys are compared: blanks around it dropped, case ignored.
std::wstring IniNameKey(std::wstring_view name);

}  // namespace vigilon
