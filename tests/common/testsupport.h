// Helpers shared by the tests: temporary folders, files, a scripted dialog seam, Ghostscript.
#pragma once

#include "fuzzcommon.h"
#include "sheet/epsbox.h"
#include "support/userdialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace zarvotest {

// A fresh folder that is removed with everything in it at the end of the scope.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath;
};

void WriteFile(const std::string& Path, const std::string& Bytes);
bool FileExists(const std::string& Path);
// Shared with the fuzz targets: file helpers, a source that delivers in small pieces, and the
// byte-wise reference of the line reading rules.
using zarvofuzz::ListDir;
using zarvofuzz::ReadFile;
using zarvofuzz::ReadLinesByteWise;
using zarvofuzz::RemoveTree;
using zarvofuzz::TChunkySource;

// Records every message and answers questions from a script (No when the script is empty).
// Installed for the lifetime of the object.
class TRecordingDialogs : public zarvo::TUserDialogs {
public:
    TRecordingDialogs();
    ~TRecordingDialogs() override;
    bool AskYesNo(const std::string& Msg, int X, int Y) override;
    void ErrorBox(const std::string& Msg) override;
    void ShowMessage(const std::string& Msg) override;
    zarvo::TPoint ScreenSize() override { return Screen; }
    zarvo::TPoint MousePos() override { return Mouse; }

    std::deque<bool> Answers;
    std::vector<std::string> Questions, Errors, Messages;
    std::vector<zarvo::TPoint> QuestionPositions;
    zarvo::TPoint Screen{1024, 768};
    zarvo::TPoint Mouse{0, 0};

private:
    zarvo::TUserDialogs* Before;
};

struct TRunResult {
    int Status = -1;
    std::string Out;    // standard output
    std::string Err;    // standard error
    long MaxRssKiB = 0; // the program's peak memory (maximum resident size)
};

// Runs a program with arguments (no shell), optionally feeding Input; captures both outputs.
TRunResult RunProgram(const std::vector<std::string>& Args,
                      const std::string& Input = std::string());

// Renders a PostScript file with Ghostscript's bounding-box device on A4. Pages holds one
// bounding box per page; Ok is false when Ghostscript reported an error.
struct TGhostscriptResult {
    bool Ok = false;
    std::string Output;
    std::vector<std::vector<double>> Pages; // llx lly urx ury of each page (HiResBoundingBox)
};
TGhostscriptResult RenderBBox(const std::string& PsFile);

// Items for tests: an EPS item with a bounding box, and a text item.
zarvo::TEPSBox MakeEpsItem(const std::string& Path, zarvo::TCmPair Origin,
                           zarvo::TCmPair Offset = {0, 0});
zarvo::TEPSBox MakeTextItem(const std::string& Text, zarvo::TCmPair Origin, int Type = 1,
                            int Style = 0, int Size = 18);

// Splits a job into its lines at CR LF; fails the current test on a bare CR or LF.
std::vector<std::string> JobLines(const std::string& Job);

} // namespace zarvotest
