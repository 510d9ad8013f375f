// When a picture was taken: the EXIF date of a JPEG, else its file's modification time on the
// local clock; read once with the file's identity, read again only when the file has changed.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "exif_test_files.h"
#include "picture_test_support.h"
#include "quillora/picture_commands.h"
#include "runtime/picture/picture_facts.h"

namespace quillora::test {
namespace {

namespace fs = std::filesystem;
using runtime::CalendarTime;
using runtime::pictureFactsReads;
using runtime::pictureFileTakenTime;

// 2021-03-04 05:06:07 UTC, as seconds since 1970.
constexpr std::int64_t kModifiedSeconds = 1614834367;

// TZ set for the test and put back afterwards, so that no result depends on the machine's zone.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* previous = std::getenv("TZ"))
            previous_ = previous;
        setenv("TZ", zone, 1);
    }
    ~TimeZone()
    {
        if (previous_)
            setenv("TZ", previous_->c_str(), 1);
        else
            unsetenv("TZ");
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

class PictureFacts : public ::testing::Test {
protected:
    // Writes the file and gives it the modification time kModifiedSeconds (+ `later`).
    std::string write(const std::string& name, const Bytes& bytes, std::int64_t later = 0)
    {
        const std::string path = folder_.path() + "/" + name;
        writeFile(path, bytes);
        const auto moment = std::chrono::sys_seconds{std::chrono::seconds{kModifiedSeconds + later}};
        fs::last_write_time(path, std::chrono::file_clock::from_sys(moment));
        return path;
    }

    static Bytes photoTaken(const std::string& written, const std::string& original)
    {
        return withSegment(redOverBlue(16, 8), 0xE1, exifPayload(exifTiffWithDates(written, original)));
    }

    DriveFolder folder_{"quillora-facts"};
    TimeZone zone_{"UTC0"};
};

TEST_F(PictureFacts, TheExifDateComesBeforeTheFilesTime)
{
    EXPECT_EQ(pictureFileTakenTime(write("both.jpg", photoTaken("2023:12:31 23:59:58", "2024:05:01 10:20:33"))),
              (CalendarTime{2024, 5, 1, 10, 20, 33}));
    EXPECT_EQ(pictureFileTakenTime(write("written.jpg", photoTaken("2023:12:31 23:59:58", ""))),
              (CalendarTime{2023, 12, 31, 23, 59, 58}));
    // No EXIF date, an unset one, a damaged block, or no JPEG at all: the file's time.
    const CalendarTime modified{2021, 3, 4, 5, 6, 7};
    EXPECT_EQ(pictureFileTakenTime(write("plain.jpg", redOverBlue(16, 8))), modified);
    EXPECT_EQ(pictureFileTakenTime(write("unset.jpg", photoTaken("0000:00:00 00:00:00", ""))), modified);
    // Cut short inside its EXIF segment, which then claims more bytes than the file has.
    Bytes damaged = photoTaken("", "2024:05:01 10:20:33");
    damaged.resize(50);
    EXPECT_EQ(pictureFileTakenTime(write("damaged.jpg", damaged)), modified);
    EXPECT_EQ(pictureFileTakenTime(write("picture.bmp", Bytes{'B', 'M', 0, 0, 0, 0})), modified);
    EXPECT_FALSE(pictureFileTakenTime(folder_.path() + "/missing.jpg"));
    EXPECT_FALSE(pictureFileTakenTime(folder_.path()));
}

TEST_F(PictureFacts, TheFilesTimeIsOnTheLocalClockOfTheZoneSetNow)
{
    const std::string path = write("plain.jpg", redOverBlue(16, 8));
    EXPECT_EQ(pictureFileTakenTime(path), (CalendarTime{2021, 3, 4, 5, 6, 7}));
    {
        // Eight hours east of UTC (POSIX counts zones west as positive).
        const TimeZone east("XST-8");
        EXPECT_EQ(pictureFileTakenTime(path), (CalendarTime{2021, 3, 4, 13, 6, 7}));
    }
    // The camera's clock is taken as it is, whatever the zone.
    const std::string photo = write("photo.jpg", photoTaken("", "2024:05:01 10:20:33"));
    const TimeZone west("YST5");
    EXPECT_EQ(pictureFileTakenTime(photo), (CalendarTime{2024, 5, 1, 10, 20, 33}));
}

TEST_F(PictureFacts, ALoadedFileIsNotReadAgainUntilItChanges)
{
    const std::string path = write("photo.jpg", photoTaken("", "2024:05:01 10:20:33"));
    LoadedPicture picture(runtime::loadPictureFile("C:\\photo.jpg"));
    ASSERT_TRUE(picture);
    const std::size_t reads = pictureFactsReads();
    EXPECT_EQ(pictureFileTakenTime(path), (CalendarTime{2024, 5, 1, 10, 20, 33}));
    EXPECT_EQ(pictureFileTakenTime(path), (CalendarTime{2024, 5, 1, 10, 20, 33}));
    EXPECT_EQ(pictureFactsReads(), reads);

    // The same name, another photo: read afresh (once).
    write("photo.jpg", photoTaken("", "2025:01:02 03:04:05"), 60);
    EXPECT_EQ(pictureFileTakenTime(path), (CalendarTime{2025, 1, 2, 3, 4, 5}));
    EXPECT_EQ(pictureFileTakenTime(path), (CalendarTime{2025, 1, 2, 3, 4, 5}));
    EXPECT_EQ(pictureFactsReads(), reads + 1);
}

TEST_F(PictureFacts, TheCommandGivesADateTimeOrTheNumberZero)
{
    write("photo.jpg", photoTaken("", "2024:05:01 10:20:33"));
    const char* name = "C:\\photo.jpg";
    RuntimeValue argument = makePointer(TypeCode::Text, name);
    RuntimeValue result{};
    PictureTakenTime(&result, 1, &argument);
    ASSERT_EQ(result.type, static_cast<std::uint32_t>(TypeCode::DateTime));
    EXPECT_EQ(runtime::calendarTimeOf(asDouble(result)), (CalendarTime{2024, 5, 1, 10, 20, 33}));

    const char* missing = "C:\\missing.jpg";
    argument = makePointer(TypeCode::Text, missing);
    PictureTakenTime(&result, 1, &argument);
    EXPECT_EQ(result.type, static_cast<std::uint32_t>(TypeCode::Integer));
    EXPECT_EQ(asInt(result), 0);
    argument = makeInt(7);
    PictureTakenTime(&result, 1, &argument);
    EXPECT_EQ(asInt(result), 0);
}

}  // namespace
}  // namespace quillora::test
