// The outline scan on hand-drawn pixel rows, with the expected polygon
// worked out by hand from the rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OutlineScan.h"

namespace {

const std::uint32_t kWhiteKey = 0xFFFFFF;

// '.' white (key), '#' black, 'r' pure red (two bytes differ), 'c' cyan
// (one byte differs), 'n' near white (all bytes differ by exactly 3),
// 'g' light grey (all bytes differ by 4).
std::vector<std::uint8_t> Rows(const std::vector<std::string>& art, int bytesPerPixel) {
    std::vector<std::uint8_t> bits;
    for (const std::string& row : art) {
        for (char c : row) {
            std::uint8_t b = 0xFF, g = 0xFF, r = 0xFF;
            switch (c) {
                case '#':
                    b = g = r = 0;
                    break;
                case 'r':
                    b = 0;
                    g = 0;
                    r = 0xFF;
                    break;
                case 'c':
                    b = 0xFF;
                    g = 0xFF;
                    r = 0;
                    break;
                case 'n':
                    b = g = r = 0xFC;
                    break;
                case 'g':
                    b = g = r = 0xFB;
                    break;
            }
            bits.push_back(b);
            bits.push_back(g);
            bits.push_back(r);
            if (bytesPerPixel == 4) bits.push_back(0);
        }
    }
    return bits;
}

std::vector<OutlinePoint> Scan(const std::vector<std::string>& art, int bytesPerPixel, bool* found) {
    std::vector<std::uint8_t> bits = Rows(art, bytesPerPixel);
    const int w = static_cast<int>(art[0].size());
    const int h = static_cast<int>(art.size());
    PixelRows rows = {bits.data(), w, h, w * bytesPerPixel, bytesPerPixel};
    std::vector<OutlinePoint> points(2 * h);
    *found = ScanOutline(rows, kWhiteKey, points.data());
    return points;
}

void ExpectPoints(const std::vector<OutlinePoint>& actual, const std::vector<OutlinePoint>& expected) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(expected[i].x, actual[i].x) << "x of point " << i;
        EXPECT_EQ(expected[i].y, actual[i].y) << "y of point " << i;
    }
}

const std::vector<std::string> kEmptyTopRows = {
    "......",
    "......",
    ".####.",
    "..##..",
};
// Rows 0 and 1 repeat row 2's vertices; then the edge adjustment.
const std::vector<OutlinePoint> kEmptyTopRowsOutline = {
    {3, 3}, {3, 3}, {4, 2}, {5, 3}, {2, 3}, {3, 2}, {2, 1}, {2, 1},
};

}  // namespace

TEST(OutlineScan, PixelCountsOnlyWhenAllThreeBytesDifferByMoreThan3) {
    const std::uint8_t black[] = {0, 0, 0};
    const std::uint8_t red[] = {0, 0, 0xFF};
    const std::uint8_t cyan[] = {0xFF, 0xFF, 0};
    const std::uint8_t nearWhite[] = {0xFC, 0xFC, 0xFC};
    const std::uint8_t grey[] = {0xFB, 0xFB, 0xFB};
    EXPECT_TRUE(IsPicturePixel(black, kWhiteKey));
    EXPECT_FALSE(IsPicturePixel(red, kWhiteKey));
    EXPECT_FALSE(IsPicturePixel(cyan, kWhiteKey));
    EXPECT_FALSE(IsPicturePixel(nearWhite, kWhiteKey));
    EXPECT_TRUE(IsPicturePixel(grey, kWhiteKey));
    // The key's lowest byte is compared with the pixel's first byte.
    const std::uint8_t blueFirst[] = {0x10, 0x80, 0x80};
    EXPECT_FALSE(IsPicturePixel(blueFirst, 0x000010));
    EXPECT_TRUE(IsPicturePixel(blueFirst, 0x100000));
}

TEST(OutlineScan, TopRowsRepeatTheFirstPictureRow) {
    bool found = false;
    ExpectPoints(Scan(kEmptyTopRows, 3, &found), kEmptyTopRowsOutline);
    EXPECT_TRUE(found);
}

TEST(OutlineScan, ThirtyTwoBitPixelsGiveTheSameOutline) {
    bool found = false;
    ExpectPoints(Scan(kEmptyTopRows, 4, &found), kEmptyTopRowsOutline);
    EXPECT_TRUE(found);
}

TEST(OutlineScan, PixelsDifferingInOneOrTwoBytesDoNotStopTheScan) {
    bool found = false;
    std::vector<OutlinePoint> points = Scan({"r#..#r", "nc.g.."}, 3, &found);
    // Row 0 stops at the black pixels, row 1 only at the grey one.
    ExpectPoints(points, {{3, 1}, {6, 1}, {2, 1}, {2, -1}});
    EXPECT_TRUE(found);
}

TEST(OutlineScan, KeyPixelsInsideTheOutlineDoNotCutIt) {
    bool found = false;
    std::vector<OutlinePoint> hollow = Scan({"#....#", "#....#"}, 3, &found);
    std::vector<OutlinePoint> solid = Scan({"######", "######"}, 3, &found);
    ExpectPoints(hollow, solid);
}

TEST(OutlineScan, RowsBelowThePictureRunFullWidth) {
    bool found = false;
    std::vector<OutlinePoint> points = Scan({".##.", "....", "....", "...."}, 3, &found);
    // H = 4: left 0..1 get +1/+1, left 2..3 get +2, right 6..7 get -1/-1.
    ExpectPoints(points, {{3, 1}, {1, 2}, {2, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 0}, {0, -1}});
}

TEST(OutlineScan, NoPicturePixelIsReported) {
    bool found = true;
    std::vector<OutlinePoint> points = Scan({"....", "...."}, 3, &found);
    EXPECT_FALSE(found);
    ExpectPoints(points, {{0, 0}, {0, 1}, {3, 1}, {3, 0}});
}
