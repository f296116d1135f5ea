// The pixels of a mostly transparent picture (an EPS drawing, a text) that paint something,
// blended onto the page picture.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace zarvo {

// A drawing rendered for the page picture is mostly transparent (a line plot paints about a
// tenth of its pixels), a text even more. Where in its rows the groups of eight pixels lie
// that paint something is found once, when the picture is cached, so that each redraw blends
// only those groups, with no test per pixel.
class TImageRuns {
public:
    // The painting groups of Image, which must be ARGB32_Premultiplied (any other format
    // gives none, and Fits is false for it).
    explicit TImageRuns(const QImage& Image);

    // Whether these groups were found in an image of this size and format.
    bool Fits(const QImage& Image) const;
    // Memory held by the index of groups.
    long long Bytes() const;

    // Blends Source, the image these groups were found in, with its top-left pixel at (X, Y)
    // onto Target by source-over, clipped to Target: the pixels QPainter::drawImage puts
    // there. Target must be RGB32 or ARGB32_Premultiplied and not shared (its bits are the
    // ones a painter on it draws on).
    void BlendOnto(const QImage& Source, int X, int Y, QImage& Target) const;

    // One image with its groups at a place on the target.
    struct TPlaced {
        const QImage* Image;
        const TImageRuns* Runs;
        int X;
        int Y;
    };
    // The same for many images, as if one after the other in list order. The target is
    // worked through in bands of rows that stay in the processor's cache while every image
    // is blended into them: a thousand drawings on one picture would otherwise fetch its
    // rows from memory again for each.
    static void BlendOnto(const std::vector<TPlaced>& Images, QImage& Target);

private:
    static void BlendEdge(int GroupX, int Lo, int Hi, const std::uint32_t* Src, std::uint32_t* Dst);
    void BlendRows(const QImage& Source, int X, int Y, int RowFrom, int RowTo, uchar* Bits,
                   qsizetype Stride, int TargetWidth) const;

    QSize FSize;
    // The columns where the groups of eight pixels that paint something start, row by row:
    // those of row Y are FGroups[FRowFirst[Y]] .. FGroups[FRowFirst[Y + 1]].
    std::vector<int> FRowFirst;
    std::vector<int> FGroups;
};

} // namespace zarvo
