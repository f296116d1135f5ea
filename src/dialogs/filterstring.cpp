// File-type filter strings of the open dialog: "name|pattern|name|pattern", split and joined.
#include "dialogs/filterstring.h"

namespace zarvo {

std::vector<TFilterEntry> SplitFilter(const std::string& Filter, std::size_t MaxEntries) {
    std::vector<TFilterEntry> Entries;
    std::string Rest = Filter;
    while (!Rest.empty() && Entries.size() < MaxEntries) {
        TFilterEntry E;
        const auto NameEnd = Rest.find('|');
        if (NameEnd != std::string::npos) {
            E.Name = Rest.substr(0, NameEnd);
            Rest.erase(0, NameEnd + 1);
        }
        if (Rest.empty()) {
            E.Pattern = "*.*";
        } else {
            const auto PatternEnd = Rest.find('|');
            E.Pattern = Rest.substr(0, PatternEnd);
            Rest.erase(0, PatternEnd == std::string::npos ? Rest.size() : PatternEnd + 1);
        }
        Entries.push_back(E);
    }
    return Entries;
}

std::string JoinFilter(const std::vector<TFilterEntry>& Entries) {
    std::string Result;
    for (const TFilterEntry& E : Entries) {
        Result += E.Name;
        if (E.Name.find('(') == std::string::npos) Result += " (" + E.Pattern + ")";
        Result += "|" + E.Pattern + "|";
    }
    if (!Result.empty()) Result.pop_back();
    return Result;
}

} // namespace zarvo
