// Runs of painted pixels per row, and their source-over blend with Qt's own arithmetic.
#include "plot/imageruns.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#define ZARVO_BLEND_AVX2
#include <immintrin.h>
#endif

namespace zarvo {

namespace {

// x * a / 255 per byte, rounded as Qt's raster engine rounds it, so that the blend below
// gives exactly the pixels QPainter gives.
inline std::uint32_t ByteMul(std::uint32_t X, std::uint32_t A) {
    std::uint64_t T = ((std::uint64_t(X) | (std::uint64_t(X) << 24)) & 0x00ff00ff00ff00ffULL) * A;
    T = (T + ((T >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    T &= 0x00ff00ff00ff00ffULL;
    return std::uint32_t(T) | std::uint32_t(T >> 24);
}

inline void BlendPixel(std::uint32_t S, std::uint32_t& D) {
    const std::uint32_t A = S >> 24;
    if (A == 255)
        D = S;
    else if (A != 0)
        D = S + ByteMul(D, 255 - A);
}

// The pixels are taken eight at a time, in groups starting at multiples of eight in the
// image's row.
const int Group = 8;

#if defined(__SSE2__)
// Source-over of four premultiplied pixels onto four: for wholly transparent or opaque
// pixels the arithmetic gives the destination or the source unchanged, so there is no branch.
inline void BlendFour(const std::uint32_t* Src, std::uint32_t* Dst) {
    const __m128i ColorMask = _mm_set1_epi32(0x00ff00ff);
    const __m128i Half = _mm_set1_epi16(0x0080);
    const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src));
    const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
    // 255 - alpha of each pixel in both 16-bit halves, as ByteMul's factor.
    __m128i Inv = _mm_srli_epi32(_mm_xor_si128(S, _mm_set1_epi32(-1)), 24);
    Inv = _mm_or_si128(Inv, _mm_slli_epi32(Inv, 16));
    __m128i AG = _mm_mullo_epi16(_mm_srli_epi16(D, 8), Inv);
    __m128i RB = _mm_mullo_epi16(_mm_and_si128(D, ColorMask), Inv);
    RB = _mm_add_epi16(_mm_add_epi16(RB, _mm_srli_epi16(RB, 8)), Half);
    AG = _mm_add_epi16(_mm_add_epi16(AG, _mm_srli_epi16(AG, 8)), Half);
    RB = _mm_srli_epi16(RB, 8);
    AG = _mm_andnot_si128(ColorMask, AG);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), _mm_add_epi32(S, _mm_or_si128(AG, RB)));
}
#endif

// Blends the whole groups starting at the columns First .. Last of a source row onto the
// destination row (already shifted to the source's column 0).
void BlendGroups(const int* First, const int* Last, const std::uint32_t* Src, std::uint32_t* Dst) {
    for (const int* G = First; G != Last; ++G) {
#if defined(__SSE2__)
        BlendFour(Src + *G, Dst + *G);
        BlendFour(Src + *G + 4, Dst + *G + 4);
#else
        for (int I = *G; I < *G + Group; ++I)
            BlendPixel(Src[I], Dst[I]);
#endif
    }
}

#if defined(ZARVO_BLEND_AVX2)
__attribute__((target("avx2"))) void BlendGroupsAvx2(const int* First, const int* Last,
                                                     const std::uint32_t* Src, std::uint32_t* Dst) {
    const __m256i ColorMask = _mm256_set1_epi32(0x00ff00ff);
    const __m256i Half = _mm256_set1_epi16(0x0080);
    const __m256i Full = _mm256_set1_epi32(-1);
    for (const int* G = First; G != Last; ++G) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + *G));
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + *G));
        __m256i Inv = _mm256_srli_epi32(_mm256_xor_si256(S, Full), 24);
        Inv = _mm256_or_si256(Inv, _mm256_slli_epi32(Inv, 16));
        __m256i AG = _mm256_mullo_epi16(_mm256_srli_epi16(D, 8), Inv);
        __m256i RB = _mm256_mullo_epi16(_mm256_and_si256(D, ColorMask), Inv);
        RB = _mm256_add_epi16(_mm256_add_epi16(RB, _mm256_srli_epi16(RB, 8)), Half);
        AG = _mm256_add_epi16(_mm256_add_epi16(AG, _mm256_srli_epi16(AG, 8)), Half);
        RB = _mm256_srli_epi16(RB, 8);
        AG = _mm256_andnot_si256(ColorMask, AG);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + *G),
                            _mm256_add_epi32(S, _mm256_or_si256(AG, RB)));
    }
}
#endif

using TBlendGroups = void (*)(const int*, const int*, const std::uint32_t*, std::uint32_t*);

TBlendGroups ChooseBlendGroups() {
#if defined(ZARVO_BLEND_AVX2)
    if (__builtin_cpu_supports("avx2")) return BlendGroupsAvx2;
#endif
    return BlendGroups;
}

const TBlendGroups BlendWholeGroups = ChooseBlendGroups();

} // namespace

TImageRuns::TImageRuns(const QImage& Image) {
    if (Image.format() != QImage::Format_ARGB32_Premultiplied) return;
    FSize = Image.size();
    FRowFirst.reserve(static_cast<std::size_t>(FSize.height()) + 1);
    for (int Y = 0; Y < FSize.height(); ++Y) {
        FRowFirst.push_back(static_cast<int>(FGroups.size()));
        const auto* Row = reinterpret_cast<const std::uint32_t*>(Image.constScanLine(Y));
        for (int X = 0; X < FSize.width(); X += Group) {
            const int End = std::min(X + Group, FSize.width());
            for (int I = X; I < End; ++I)
                if (Row[I] >> 24) {
                    FGroups.push_back(X);
                    break;
                }
        }
    }
    FRowFirst.push_back(static_cast<int>(FGroups.size()));
    FGroups.shrink_to_fit();
}

bool TImageRuns::Fits(const QImage& Image) const {
    return !FRowFirst.empty() && Image.size() == FSize &&
           Image.format() == QImage::Format_ARGB32_Premultiplied;
}

long long TImageRuns::Bytes() const {
    return static_cast<long long>((FRowFirst.capacity() + FGroups.capacity()) * sizeof(int) +
                                  sizeof(*this));
}

void TImageRuns::BlendOnto(const QImage& Source, int X, int Y, QImage& Target) const {
    BlendOnto(std::vector<TPlaced>{{&Source, this, X, Y}}, Target);
}

void TImageRuns::BlendOnto(const std::vector<TPlaced>& Images, QImage& Target) {
    if (Images.empty() || (Target.format() != QImage::Format_RGB32 &&
                           Target.format() != QImage::Format_ARGB32_Premultiplied))
        return;
    const int TW = Target.width(), TH = Target.height();
    uchar* Bits = Target.bits();
    const qsizetype Stride = Target.bytesPerLine();
    // About 256 KB of the target per band.
    const int Band = std::max(4, static_cast<int>(256 * 1024 / std::max<qsizetype>(Stride, 1)));
    int Top = TH, Bottom = 0;
    for (const TPlaced& P : Images)
        if (P.Runs && P.Image && P.Runs->Fits(*P.Image)) {
            Top = std::min(Top, std::max(P.Y, 0));
            Bottom = std::max(Bottom, std::min(P.Y + P.Runs->FSize.height(), TH));
        }
    for (int B0 = Top; B0 < Bottom; B0 += Band) {
        const int B1 = std::min(B0 + Band, Bottom);
        for (const TPlaced& P : Images) {
            if (!P.Runs || !P.Image || !P.Runs->Fits(*P.Image)) continue;
            const int RowFrom = std::max(B0 - P.Y, 0);
            const int RowTo = std::min(B1 - P.Y, P.Runs->FSize.height());
            if (RowFrom < RowTo)
                P.Runs->BlendRows(*P.Image, P.X, P.Y, RowFrom, RowTo, Bits, Stride, TW);
        }
    }
}

void TImageRuns::BlendEdge(int GroupX, int Lo, int Hi, const std::uint32_t* Src,
                           std::uint32_t* Dst) {
    for (int I = std::max(GroupX, Lo); I < std::min(GroupX + Group, Hi); ++I)
        BlendPixel(Src[I], Dst[I]);
}

void TImageRuns::BlendRows(const QImage& Source, int X, int Y, int RowFrom, int RowTo, uchar* Bits,
                           qsizetype Stride, int TargetWidth) const {
    if (X >= TargetWidth || X + FSize.width() <= 0) return;
    const uchar* SrcBits = Source.constBits();
    const qsizetype SrcStride = Source.bytesPerLine();
    // The groups that lie wholly inside both the source row and the target take the fast
    // way; those at either edge are blended pixel by pixel as far as they reach.
    const int Lo = std::max(0, -X), Hi = std::min(FSize.width(), TargetWidth - X);
    for (int Row = RowFrom; Row < RowTo; ++Row) {
        const auto* Src = reinterpret_cast<const std::uint32_t*>(SrcBits + Row * SrcStride);
        auto* Dst = reinterpret_cast<std::uint32_t*>(Bits + (Y + Row) * Stride) + X;
        const int* First = FGroups.data() + FRowFirst[Row];
        const int* Last = FGroups.data() + FRowFirst[Row + 1];
        while (First != Last && *First < Lo)
            BlendEdge(*First++, Lo, Hi, Src, Dst);
        while (Last != First && Last[-1] + Group > Hi)
            BlendEdge(*--Last, Lo, Hi, Src, Dst);
        BlendWholeGroups(First, Last, Src, Dst);
    }
}

} // namespace zarvo
