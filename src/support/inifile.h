// INI files with the rules of Windows private-profile files: sections and keys without regard
// to case, values trimmed, unquoted and cut to 2047 characters, all other lines kept.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace zarvo {

class TIniFile {
public:
    enum class TOpenResult { Ok, Missing, Unreadable, TooLarge };

    // Files larger than this are not taken for INI files.
    static constexpr long long MaxFileSize = 256LL * 1024 * 1024;

    TIniFile() = default;
    explicit TIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

    // Reads the file named at construction. Missing: an empty file; the error code (errno)
    // of an unreadable one is in LastError.
    TOpenResult Open();
    // Takes the text of a file (tests, and files read otherwise).
    void Parse(const std::string& Text);

    const std::string& FileName() const { return FFileName; }
    int LastError() const { return FLastError; }

    bool SectionExists(const std::string& Section) const;
    // The names of all sections in file order, as written in the file.
    std::vector<std::string> SectionNames() const;
    std::string ReadString(const std::string& Section, const std::string& Key,
                           const std::string& Default) const;
    long ReadInteger(const std::string& Section, const std::string& Key, long Default) const;
    bool ReadBool(const std::string& Section, const std::string& Key, bool Default) const;
    // Accepts '.' and ',' as the decimal separator, whatever the locale.
    double ReadFloat(const std::string& Section, const std::string& Key, double Default) const;

    void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Key, long Value);
    void WriteBool(const std::string& Section, const std::string& Key, bool Value);
    // Fixed notation with one decimal place and the locale's decimal separator.
    void WriteFloat(const std::string& Section, const std::string& Key, double Value);
    // Removes every section of that name with all its keys.
    void EraseSection(const std::string& Section);

    // The whole file as it would be written.
    std::string Text() const;
    // Writes the file through a temporary file that replaces it; raises EInOutError.
    void UpdateFile() const;

private:
    // Each line keeps the line end it was read with (CR LF, LF, CR, or none at the end of the
    // file), so that what a save does not rewrite is written back byte for byte; lines the
    // program adds end with LF.
    struct TLine {
        std::string Text;
        std::string KeyLower; // empty for lines that hold no key
        std::string End = "\n";
    };
    struct TSection {
        std::string Header;
        std::string HeaderEnd = "\n";
        bool BlankBefore = false;
        bool Erased = false;
        std::vector<TLine> Lines;
    };

    static std::string Lower(const std::string& S);
    static TLine MakeLine(std::string Text, std::string End);
    const TLine* FindKey(const std::string& Section, const std::string& Key) const;
    TSection& SectionForWrite(const std::string& Section);

    std::string FFileName;
    int FLastError = 0;
    std::vector<TLine> FPreamble;
    std::vector<TSection> FSections;
    // Lower-case name to the indices of its sections in file order; the first one counts.
    std::unordered_map<std::string, std::vector<std::size_t>> FIndex;
};

} // namespace zarvo
