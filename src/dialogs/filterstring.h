// File-type filter strings of the open dialog: "name|pattern|name|pattern", split and joined.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zarvo {

struct TFilterEntry {
    std::string Name;
    std::string Pattern;
};

inline bool operator==(const TFilterEntry& A, const TFilterEntry& B) {
    return A.Name == B.Name && A.Pattern == B.Pattern;
}

// Splits a filter string into at most MaxEntries pairs; the rest is dropped. Text without a '|'
// is a pattern without a name; a name at the end without a pattern gets "*.*".
std::vector<TFilterEntry> SplitFilter(const std::string& Filter, std::size_t MaxEntries);

// Joins pairs into a filter string. A name without '(' gets " (pattern)" appended, so that the
// open dialog shows the pattern; an empty list gives an empty string.
std::string JoinFilter(const std::vector<TFilterEntry>& Entries);

} // namespace zarvo
