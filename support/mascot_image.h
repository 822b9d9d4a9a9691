// The mascot image as the design draws it, row by row: the independent reference for the bitmap
// resource and for the window's shape.
#pragma once

#include <cstdint>

constexpr int kMascotSize = 40;

// Palette indices of the standard 16-colour palette, and the colours they stand for.
constexpr int kIndexBlack = 0;
constexpr int kIndexBlue = 12;
constexpr int kIndexWhite = 15;
constexpr std::uint32_t kRgbBlack = 0x000000;  // 0x00RRGGBB
constexpr std::uint32_t kRgbBlue = 0x0000FF;
constexpr std::uint32_t kRgbWhite = 0xFFFFFF;

// Inclusive column ranges; first > last means none.
struct CColumns {
    int first;
    int last;
};

struct CMascotRow {
    CColumns leftRim;
    CColumns blue;
    CColumns rightRim;
};

constexpr CColumns kNone = {1, 0};

// Row 0 is the top row. Every pixel not listed is white.
constexpr CMascotRow kMascotRows[kMascotSize] = {
    {{18, 21}, kNone, kNone},       {{13, 17}, {18, 21}, {22, 26}}, {{11, 12}, {13, 26}, {27, 28}},
    {{10, 10}, {11, 28}, {29, 29}}, {{8, 9}, {10, 29}, {30, 31}},   {{7, 7}, {8, 31}, {32, 32}},
    {{6, 6}, {7, 32}, {33, 33}},    {{5, 5}, {6, 33}, {34, 34}},    {{4, 4}, {5, 34}, {35, 35}},
    {{3, 3}, {4, 35}, {36, 36}},    {{3, 3}, {4, 35}, {36, 36}},    {{2, 2}, {3, 36}, {37, 37}},
    {{1, 1}, {2, 37}, {38, 38}},    {{1, 1}, {2, 37}, {38, 38}},    {{1, 1}, {2, 37}, {38, 38}},
    {{1, 1}, {2, 37}, {38, 38}},    {{1, 1}, {2, 37}, {38, 38}},    {{0, 0}, {1, 38}, {39, 39}},
    {{0, 0}, {1, 38}, {39, 39}},    {{0, 0}, {1, 38}, {39, 39}},    {{0, 0}, {1, 38}, {39, 39}},
    {{0, 0}, {1, 38}, {39, 39}},    {{0, 0}, {1, 38}, {39, 39}},    {{1, 1}, {2, 37}, {38, 38}},
    {{1, 1}, {2, 37}, {38, 38}},    {{1, 1}, {2, 37}, {38, 38}},    {{1, 1}, {2, 37}, {38, 38}},
    {{1, 1}, {2, 37}, {38, 38}},    {{2, 2}, {3, 36}, {37, 37}},    {{3, 3}, {4, 35}, {36, 36}},
    {{3, 3}, {4, 35}, {36, 36}},    {{4, 4}, {5, 34}, {35, 35}},    {{5, 5}, {6, 33}, {34, 34}},
    {{5, 5}, {6, 33}, {34, 34}},    {{6, 7}, {8, 31}, {32, 33}},    {{8, 8}, {9, 30}, {31, 31}},
    {{9, 10}, {11, 28}, {29, 30}},  {{11, 12}, {13, 26}, {27, 28}}, {{13, 17}, {18, 21}, {22, 26}},
    {{18, 21}, kNone, kNone},
};

inline bool InColumns(CColumns columns, int x) { return columns.first <= x && x <= columns.last; }

// Palette index of pixel (x, y), y counted from the top.
inline int MascotIndexAt(int x, int y) {
    const CMascotRow& row = kMascotRows[y];
    if (InColumns(row.blue, x)) return kIndexBlue;
    if (InColumns(row.leftRim, x) || InColumns(row.rightRim, x)) return kIndexBlack;
    return kIndexWhite;
}

inline std::uint32_t MascotRgbAt(int x, int y) {
    switch (MascotIndexAt(x, y)) {
    case kIndexBlue: return kRgbBlue;
    case kIndexBlack: return kRgbBlack;
    default: return kRgbWhite;
    }
}
