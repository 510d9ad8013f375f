// The text under a picture for each caption kind, with and without a known date.
#include <gtest/gtest.h>

#include "pages/caption_text.h"

namespace quillora::app {
namespace {

constexpr TakenTime kTaken{2024, 5, 1, 9, 5};

TEST(CaptionText, EachKindWithAndWithoutADate)
{
    EXPECT_EQ(captionText(CaptionKind::FileName, "IMG_0001.JPG", kTaken), "IMG_0001.JPG");
    EXPECT_EQ(captionText(CaptionKind::TakenDate, "IMG_0001.JPG", kTaken), "2024-05-01 09:05");
    EXPECT_EQ(captionText(CaptionKind::FileNameAndDate, "IMG_0001.JPG", kTaken), "IMG_0001.JPG  2024-05-01 09:05");
    // A date that is not known (no file) leaves the file name, or nothing.
    EXPECT_EQ(captionText(CaptionKind::FileName, "IMG_0001.JPG", std::nullopt), "IMG_0001.JPG");
    EXPECT_EQ(captionText(CaptionKind::TakenDate, "IMG_0001.JPG", std::nullopt), "");
    EXPECT_EQ(captionText(CaptionKind::FileNameAndDate, "IMG_0001.JPG", std::nullopt), "IMG_0001.JPG");
    // Without a file name both kinds with a date give the date alone.
    EXPECT_EQ(captionText(CaptionKind::FileNameAndDate, "", kTaken), "2024-05-01 09:05");
}

TEST(CaptionText, DatesHaveTheirLeadingZerosAndMidnightIsHourZero)
{
    EXPECT_EQ(takenDateText({1, 1, 1, 0, 0}), "0001-01-01 00:00");
    EXPECT_EQ(takenDateText({2024, 12, 31, 23, 59}), "2024-12-31 23:59");
}

TEST(CaptionText, AnIndexOutsideTheListIsTheFileName)
{
    EXPECT_EQ(captionKindOf(0), CaptionKind::FileName);
    EXPECT_EQ(captionKindOf(1), CaptionKind::TakenDate);
    EXPECT_EQ(captionKindOf(2), CaptionKind::FileNameAndDate);
    EXPECT_EQ(captionKindOf(3), CaptionKind::FileName);
    EXPECT_EQ(captionKindOf(-1), CaptionKind::FileName);
}

}  // namespace
}  // namespace quillora::app
