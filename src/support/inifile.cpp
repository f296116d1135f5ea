// INI files with the rules of Windows private-profile files.
#include "support/inifile.h"

#include "support/bytetarget.h"
#include "support/inouterror.h"
#include "support/localefmt.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvo {

namespace {

constexpr std::size_t MaxValueLength = 2047;

std::string TrimBlanks(const std::string& S, std::size_t From = 0,
                       std::size_t To = std::string::npos) {
    if (To > S.size()) To = S.size();
    while (From < To && (S[From] == ' ' || S[From] == '\t'))
        ++From;
    while (To > From && (S[To - 1] == ' ' || S[To - 1] == '\t'))
        --To;
    return S.substr(From, To - From);
}

// The section name of a header line, or false when the line is none.
bool HeaderName(const std::string& Text, std::string& Name) {
    std::size_t I = 0;
    while (I < Text.size() && (Text[I] == ' ' || Text[I] == '\t'))
        ++I;
    if (I >= Text.size() || Text[I] != '[') return false;
    const std::size_t Close = Text.find(']', I + 1);
    Name = TrimBlanks(Text, I + 1, Close);
    return true;
}

} // namespace

std::string TIniFile::Lower(const std::string& S) {
    std::string R = S;
    for (char& C : R)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return R;
}

TIniFile::TLine TIniFile::MakeLine(std::string Text, std::string End) {
    TLine L;
    L.End = std::move(End);
    const std::size_t Eq = Text.find('=');
    if (Eq != std::string::npos) {
        std::string Key = TrimBlanks(Text, 0, Eq);
        if (!Key.empty() && Key[0] != ';') L.KeyLower = Lower(Key);
    }
    L.Text = std::move(Text);
    return L;
}

TIniFile::TOpenResult TIniFile::Open() {
    FLastError = 0;
    Parse(std::string());
    // Without waiting for a writer: a named pipe that nobody writes reads as empty.
    const int Fd = ::open(FFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0) {
        FLastError = errno;
        return errno == ENOENT ? TOpenResult::Missing : TOpenResult::Unreadable;
    }
    ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
    struct stat St;
    if (::fstat(Fd, &St) != 0) {
        FLastError = errno;
        ::close(Fd);
        return TOpenResult::Unreadable;
    }
    // A folder cannot be read as a file; a device such as /dev/zero or a terminal chosen as a
    // sheet would never end or would wait for typing.
    if (S_ISDIR(St.st_mode) || S_ISCHR(St.st_mode) || S_ISBLK(St.st_mode)) {
        FLastError = S_ISDIR(St.st_mode) ? EISDIR : ENODEV;
        ::close(Fd);
        return TOpenResult::Unreadable;
    }
    if (S_ISREG(St.st_mode) && St.st_size > MaxFileSize) {
        ::close(Fd);
        FLastError = EFBIG;
        return TOpenResult::TooLarge;
    }
    std::string Text;
    char Buf[65536];
    for (;;) {
        const ssize_t N = ::read(Fd, Buf, sizeof Buf);
        if (N == 0) break;
        if (N < 0) {
            if (errno == EINTR) continue;
            FLastError = errno;
            ::close(Fd);
            return TOpenResult::Unreadable;
        }
        Text.append(Buf, static_cast<std::size_t>(N));
        if (static_cast<long long>(Text.size()) > MaxFileSize) {
            ::close(Fd);
            FLastError = EFBIG;
            return TOpenResult::TooLarge;
        }
    }
    ::close(Fd);
    Parse(Text);
    return TOpenResult::Ok;
}

void TIniFile::Parse(const std::string& Text) {
    FPreamble.clear();
    FSections.clear();
    FIndex.clear();
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        // A line ends at LF, CR LF or a lone CR.
        std::size_t End = Text.find_first_of("\r\n", Pos);
        std::string Line =
            Text.substr(Pos, End == std::string::npos ? std::string::npos : End - Pos);
        std::size_t Next;
        if (End == std::string::npos)
            Next = Text.size();
        else if (Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n')
            Next = End + 2;
        else
            Next = End + 1;
        std::string LineEnd =
            End == std::string::npos ? std::string() : Text.substr(End, Next - End);
        Pos = Next;
        std::string Name;
        if (HeaderName(Line, Name)) {
            TSection S;
            S.Header = std::move(Line);
            S.HeaderEnd = std::move(LineEnd);
            FIndex[Lower(Name)].push_back(FSections.size());
            FSections.push_back(std::move(S));
        } else if (FSections.empty()) {
            FPreamble.push_back(MakeLine(std::move(Line), std::move(LineEnd)));
        } else {
            FSections.back().Lines.push_back(MakeLine(std::move(Line), std::move(LineEnd)));
        }
    }
}

bool TIniFile::SectionExists(const std::string& Section) const {
    return FIndex.count(Lower(Section)) > 0;
}

std::vector<std::string> TIniFile::SectionNames() const {
    std::vector<std::string> Names;
    for (const TSection& S : FSections) {
        std::string Name;
        if (!S.Erased && HeaderName(S.Header, Name)) Names.push_back(Name);
    }
    return Names;
}

const TIniFile::TLine* TIniFile::FindKey(const std::string& Section, const std::string& Key) const {
    const auto It = FIndex.find(Lower(Section));
    if (It == FIndex.end()) return nullptr;
    const std::string K = Lower(Key);
    for (const TLine& L : FSections[It->second.front()].Lines)
        if (L.KeyLower == K) return &L;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Key,
                                 const std::string& Default) const {
    const TLine* L = FindKey(Section, Key);
    if (!L) return Default;
    std::string V = TrimBlanks(L->Text, L->Text.find('=') + 1);
    if (V.size() >= 2 && (V.front() == '"' || V.front() == '\'') && V.back() == V.front())
        V = V.substr(1, V.size() - 2);
    if (V.size() > MaxValueLength) V.resize(MaxValueLength);
    return V;
}

long TIniFile::ReadInteger(const std::string& Section, const std::string& Key, long Default) const {
    long V = Default;
    return TryStrToInt(ReadString(Section, Key, std::string()), V) ? V : Default;
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Key, bool Default) const {
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const std::string& Section, const std::string& Key,
                           double Default) const {
    return StrToFloatDef(ReadString(Section, Key, std::string()), Default);
}

TIniFile::TSection& TIniFile::SectionForWrite(const std::string& Section) {
    const std::string L = Lower(Section);
    const auto It = FIndex.find(L);
    if (It != FIndex.end()) return FSections[It->second.front()];
    TSection S;
    S.Header = "[" + Section + "]";
    // Keep a blank line between the sections the program appends.
    bool HasContent = !FPreamble.empty();
    for (const TSection& Old : FSections)
        if (!Old.Erased) HasContent = true;
    S.BlankBefore = HasContent;
    FIndex[L].push_back(FSections.size());
    FSections.push_back(std::move(S));
    return FSections.back();
}

void TIniFile::WriteString(const std::string& Section, const std::string& Key,
                           const std::string& RawValue) {
    // A line end inside a value would split the line and break the file's structure.
    std::string Value = RawValue;
    for (char& C : Value)
        if (C == '\r' || C == '\n') C = ' ';
    TSection& S = SectionForWrite(Section);
    const std::string K = Lower(Key);
    for (TLine& L : S.Lines)
        if (L.KeyLower == K) {
            L.Text = Key + "=" + Value;
            return;
        }
    // New keys follow the last non-blank line of the section.
    std::size_t At = S.Lines.size();
    while (At > 0 && TrimBlanks(S.Lines[At - 1].Text).empty())
        --At;
    // A last line of the file without a line end gets one before the new key.
    if (At > 0 && S.Lines[At - 1].End.empty()) S.Lines[At - 1].End = "\n";
    S.Lines.insert(S.Lines.begin() + static_cast<std::ptrdiff_t>(At),
                   TLine{Key + "=" + Value, K, "\n"});
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Key, long Value) {
    WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Key, bool Value) {
    WriteString(Section, Key, Value ? "1" : "0");
}

void TIniFile::WriteFloat(const std::string& Section, const std::string& Key, double Value) {
    WriteString(Section, Key, FloatToFixed(Value, 1));
}

void TIniFile::EraseSection(const std::string& Section) {
    const auto It = FIndex.find(Lower(Section));
    if (It == FIndex.end()) return;
    for (std::size_t I : It->second) {
        FSections[I].Erased = true;
        FSections[I].Lines.clear();
    }
    FIndex.erase(It);
}

std::string TIniFile::Text() const {
    std::string Out;
    bool LastBlank = false;
    const auto Add = [&](const std::string& Line, const std::string& End) {
        // Only the file's last line may lack its end; more lines after it need one.
        if (!Out.empty() && Out.back() != '\n' && Out.back() != '\r') Out += "\n";
        Out += Line;
        Out += End;
        LastBlank = TrimBlanks(Line).empty();
    };
    for (const TLine& L : FPreamble)
        Add(L.Text, L.End);
    for (const TSection& S : FSections) {
        if (S.Erased) continue;
        if (S.BlankBefore && !Out.empty() && !LastBlank) Add("", "\n");
        Add(S.Header, S.HeaderEnd);
        for (const TLine& L : S.Lines)
            Add(L.Text, L.End);
    }
    return Out;
}

void TIniFile::UpdateFile() const {
    const std::string Out = Text();
    auto Target = OpenReplacingTarget(FFileName, true);
    Target->Write(reinterpret_cast<const unsigned char*>(Out.data()), Out.size());
    Target->Close();
}

} // namespace zarvo
