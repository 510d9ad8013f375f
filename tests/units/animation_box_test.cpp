// The animation box scaling pictures while hidden: objects made from a template, their drawn
// size under a zoom, and pictures taken of an area as BMP files.
#include "quillora/special_unit_commands.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_entries.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/units/animation_box.h"
#include "runtime/units/animation_object.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace quillora::runtime {
namespace {

using form_format::UnitKind;

constexpr std::uint32_t kWindowId = form_format::makeWindowId(0x7201);
constexpr std::uint32_t kBoxId = form_format::makeUnitId(form_format::UnitIdClass::Control, 1);
constexpr std::uint32_t kTemplateId = form_format::makeUnitId(form_format::UnitIdClass::Control, 2);
constexpr std::int32_t kWidthProperty = 2;
constexpr std::int32_t kHeightProperty = 3;

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0}, kYellow{255, 255, 0}, kCyan{0, 255, 255}, kMagenta{255, 0, 255};

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A 24-bit BMP file of the given top-down rows, built byte by byte.
std::vector<std::uint8_t> bmpFile(const std::vector<std::vector<Rgb>>& rows)
{
    const auto height = static_cast<std::uint32_t>(rows.size());
    const auto width = static_cast<std::uint32_t>(rows.front().size());
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> file = {'B', 'M'};
    put32(file, 54 + stride * height);
    put32(file, 0);
    put32(file, 54);
    put32(file, 40);
    put32(file, width);
    put32(file, height);
    put16(file, 1);
    put16(file, 24);
    for (int field = 0; field < 6; ++field)
        put32(file, 0);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        for (const Rgb& pixel : *row) {
            file.push_back(pixel.blue);
            file.push_back(pixel.green);
            file.push_back(pixel.red);
        }
        file.resize(file.size() + (stride - width * 3), 0);
    }
    return file;
}

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// The pixels of a 24-bit bottom-up BMP as top-down rows, after checking its headers.
std::vector<std::vector<Rgb>> pixelsOf(const std::vector<std::uint8_t>& file, std::uint32_t width,
                                       std::uint32_t height)
{
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    EXPECT_EQ(file.size(), 54 + stride * height);
    if (file.size() != 54 + stride * height)
        return {};
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(read32(file, 2), file.size());
    EXPECT_EQ(read32(file, 10), 54u);
    EXPECT_EQ(read32(file, 14), 40u);
    EXPECT_EQ(read32(file, 18), width);
    EXPECT_EQ(read32(file, 22), height);
    EXPECT_EQ(file[28], 24);
    std::vector<std::vector<Rgb>> rows(height);
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::uint8_t* stored = file.data() + 54 + (height - 1 - row) * stride;
        for (std::uint32_t column = 0; column < width; ++column)
            rows[row].push_back({stored[column * 3 + 2], stored[column * 3 + 1], stored[column * 3]});
    }
    return rows;
}

UnitTemplate unitRecord(std::uint32_t id, UnitKind kind, const char* name, UnitRect rect)
{
    UnitTemplate record;
    record.id = id;
    record.typeCode = static_cast<std::uint32_t>(kind);
    record.name = name;
    record.rect = rect;
    return record;
}

// A hidden box and a template object, as the progress window holds them, loaded by the window
// loader from installed templates.
class AnimationBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        picturesBefore_ = loadedPictureCount();
        WindowTemplate window;
        window.id = kWindowId;
        window.units = {
            unitRecord(0x06010000, UnitKind::Window, "ProgressLike", {50, 50, 380, 51}),
            unitRecord(kBoxId, UnitKind::CartoonBox, "动画框1", {8, 24, 20, 20}),
            unitRecord(kTemplateId, UnitKind::CartoonObject, "动画物体1", {40, 24, 32, 18}),
        };
        // The template says visible; an animation object is never shown all the same.
        window.units[2].state = form_format::kUnitVisible;
        for (std::size_t index = 0; index < window.units.size(); ++index)
            window.units[index].tableIndex = index;
        window.tableSize = window.units.size();
        FormTemplates templates;
        templates.windows().push_back(window);
        installFormTemplates(std::move(templates));
        ASSERT_TRUE(loadWindow(kWindowId, false, 0));
        box_ = dynamic_cast<AnimationBoxUnit*>(findLiveUnit(kWindowId, kBoxId));
        template_ = dynamic_cast<AnimationObjectUnit*>(findLiveUnit(kWindowId, kTemplateId));
        ASSERT_NE(box_, nullptr);
        ASSERT_NE(template_, nullptr);
    }

    void TearDown() override
    {
        destroyLiveWindow(kWindowId);
        installFormTemplates({});
    }

    RuntimeValue boxRef() const { return makeUnitRef(static_cast<std::uint32_t>(UnitKind::CartoonBox), kWindowId, kBoxId); }

    // The box sized to its object through the common width and height, as the picture
    // reduction does it.
    void fitBoxTo(std::int32_t object)
    {
        writeUnitProperty(kWindowId, kBoxId, kWidthProperty, -1, static_cast<std::uint32_t>(box_->objectWidth(object)), 0);
        writeUnitProperty(kWindowId, kBoxId, kHeightProperty, -1, static_cast<std::uint32_t>(box_->objectHeight(object)), 0);
        ASSERT_EQ(asInt(readUnitProperty(kWindowId, kBoxId, kWidthProperty, -1)), box_->objectWidth(object));
    }

    std::size_t picturesBefore_ = 0;
    AnimationBoxUnit* box_ = nullptr;
    AnimationObjectUnit* template_ = nullptr;
};

const std::vector<std::vector<Rgb>> kEightColours = {
    {kRed, kGreen, kBlue, kWhite},
    {kBlack, kYellow, kCyan, kMagenta},
};

TEST_F(AnimationBoxTest, ReductionThroughTheCommandsGivesHalfSizedPicture)
{
    // Two 2 x 2 blocks, so that halving the picture keeps their colours exactly.
    const std::vector<std::uint8_t> photo = bmpFile({{kRed, kRed, kBlue, kBlue}, {kRed, kRed, kBlue, kBlue}});
    RuntimeValue arguments[5] = {boxRef(),
                                 makeUnitRef(static_cast<std::uint32_t>(UnitKind::CartoonObject), kWindowId, kTemplateId),
                                 makeInt(0), makeInt(0)};
    RuntimeValue result{};
    animationBoxCreateObject(&result, 4, arguments);
    const std::int32_t object = asInt(result);
    ASSERT_EQ(object, 1);

    void* pictureBlock = newByteSetBlock(photo.data(), photo.size());
    arguments[1] = makeInt(object);
    arguments[2] = makePointer(TypeCode::ByteSet, pictureBlock);
    animationBoxSetObjectPicture(&result, 3, arguments);
    freeBlock(pictureBlock);
    EXPECT_TRUE(asBool(result));

    arguments[2] = makeInt(500);
    arguments[3] = makeInt(500);
    animationBoxSetObjectZoom(&result, 4, arguments);
    EXPECT_TRUE(asBool(result));
    animationBoxObjectWidth(&result, 2, arguments);
    EXPECT_EQ(asInt(result), 2);
    animationBoxObjectHeight(&result, 2, arguments);
    EXPECT_EQ(asInt(result), 1);

    fitBoxTo(object);
    arguments[1] = makeInt(0);
    arguments[2] = makeInt(0);
    arguments[3] = makeInt(2);
    arguments[4] = makeInt(1);
    animationBoxTakePicture(&result, 5, arguments);
    ASSERT_EQ(result.type, static_cast<std::uint32_t>(TypeCode::ByteSet));
    const std::vector<std::uint8_t> taken(byteSetData(result), byteSetData(result) + byteSetLength(result));
    freeBlock(asPointer(result));
    // A 2-pixel row is 6 bytes, padded to 8.
    EXPECT_EQ(pixelsOf(taken, 2, 1), (std::vector<std::vector<Rgb>>{{kRed, kBlue}}));

    // The runtime's own decoder takes the result back.
    const PictureHandle reloaded = loadPicture(taken);
    EXPECT_EQ(pictureWidth(reloaded), 2);
    EXPECT_EQ(pictureHeight(reloaded), 1);
    unloadPicture(reloaded);
}

TEST_F(AnimationBoxTest, TakenAreaKeepsRowOrderAndShowsBackgroundBeyondTheBox)
{
    const std::int32_t object = box_->createObject(*template_, 0, 0);
    ASSERT_TRUE(box_->setObjectPicture(object, bmpFile(kEightColours)));
    fitBoxTo(object);

    // Three pixels a row (9 bytes, padded to 12), two rows stored bottom-up.
    EXPECT_EQ(pixelsOf(box_->takePicture(1, 0, 3, 2), 3, 2),
              (std::vector<std::vector<Rgb>>{{kGreen, kBlue, kWhite}, {kYellow, kCyan, kMagenta}}));

    // The box is 4 x 2; what lies beyond it shows the background colour.
    const RuntimeValue grey = makeInt(0x00808080);
    ASSERT_TRUE(box_->writeKindProperty(kAnimationBoxBackground, -1, grey.low, grey.high));
    const Rgb background{0x80, 0x80, 0x80};
    EXPECT_EQ(pixelsOf(box_->takePicture(2, 1, 3, 2), 3, 2),
              (std::vector<std::vector<Rgb>>{{kCyan, kMagenta, background}, {background, background, background}}));
}

TEST_F(AnimationBoxTest, ObjectsStartFromTheirTemplateAndSizesTruncate)
{
    EXPECT_TRUE(template_->widget()->isHidden());
    const std::vector<std::uint8_t> photo = bmpFile(kEightColours);
    void* block = newByteSetBlock(photo.data(), photo.size());
    const RuntimeValue data = makePointer(TypeCode::ByteSet, block);
    ASSERT_TRUE(template_->writeKindProperty(kAnimationObjectPicture, -1, data.low, data.high));
    freeBlock(block);
    const RuntimeValue zoom = makeInt(333);
    ASSERT_TRUE(template_->writeKindProperty(kAnimationObjectZoomHorizontal, -1, zoom.low, zoom.high));

    const std::int32_t object = box_->createObject(*template_, 5, 7);
    EXPECT_EQ(box_->objectWidth(object), 1);  // 4 x 333 / 1000 = 1.332
    EXPECT_EQ(box_->objectHeight(object), 2);
    ASSERT_TRUE(box_->setObjectZoom(object, 1000, 250));
    EXPECT_EQ(box_->objectHeight(object), 0);  // 2 x 250 / 1000 = 0.5
    EXPECT_EQ(box_->createObject(*template_, 0, 0), object + 1);
}

TEST_F(AnimationBoxTest, BadNumbersZoomsAndAreasGiveNothing)
{
    const std::int32_t object = box_->createObject(*template_, 0, 0);
    ASSERT_TRUE(box_->setObjectPicture(object, bmpFile(kEightColours)));
    fitBoxTo(object);

    for (const std::int32_t bad : {0, -1, object + 1}) {
        EXPECT_FALSE(box_->setObjectPicture(bad, bmpFile(kEightColours)));
        EXPECT_FALSE(box_->setObjectZoom(bad, 500, 500));
        EXPECT_EQ(box_->objectWidth(bad), 0);
        EXPECT_EQ(box_->objectHeight(bad), 0);
    }
    EXPECT_FALSE(box_->setObjectZoom(object, 0, 500));
    EXPECT_FALSE(box_->setObjectZoom(object, 500, -1));
    EXPECT_EQ(box_->objectWidth(object), 4);

    const std::array<std::array<std::int32_t, 4>, 5> emptyAreas = {{
        {0, 0, 0, 2}, {0, 0, 4, 0}, {0, 0, -4, 2}, {0, 0, 4, -2}, {0, 0, 65536, 65536},
    }};
    for (const auto& area : emptyAreas)
        EXPECT_TRUE(box_->takePicture(area[0], area[1], area[2], area[3]).empty());
    // Far-away areas and huge zooms still render, without overflowing any coordinate.
    EXPECT_EQ(box_->takePicture(-2147483647 - 1, 2147483647, 1, 1).size(), 58u);
    ASSERT_TRUE(box_->setObjectZoom(object, 2147483647, 2147483647));
    fitBoxTo(object);
    EXPECT_EQ(pixelsOf(box_->takePicture(0, 0, 1, 1), 1, 1), (std::vector<std::vector<Rgb>>{{kRed}}));

    // A reference to another kind of unit, or to no unit, is refused without harm.
    RuntimeValue arguments[5] = {makeUnitRef(static_cast<std::uint32_t>(UnitKind::CartoonObject), kWindowId, kTemplateId),
                                 makeInt(object), makeInt(0), makeInt(1), makeInt(1)};
    RuntimeValue result{};
    animationBoxObjectWidth(&result, 2, arguments);
    EXPECT_EQ(asInt(result), 0);
    animationBoxTakePicture(&result, 5, arguments);
    EXPECT_EQ(byteSetLength(result), 0u);
    animationBoxCreateObject(&result, 0, nullptr);
    EXPECT_EQ(asInt(result), 0);
}

TEST_F(AnimationBoxTest, PicturesAreUnloadedWhenReplacedAndWithTheBox)
{
    const std::int32_t first = box_->createObject(*template_, 0, 0);
    const std::int32_t second = box_->createObject(*template_, 0, 0);
    ASSERT_TRUE(box_->setObjectPicture(first, bmpFile(kEightColours)));
    ASSERT_TRUE(box_->setObjectPicture(second, bmpFile(kEightColours)));
    EXPECT_EQ(loadedPictureCount(), picturesBefore_ + 2);
    ASSERT_TRUE(box_->setObjectPicture(first, bmpFile({{kBlue}})));
    EXPECT_EQ(loadedPictureCount(), picturesBefore_ + 2);
    EXPECT_EQ(box_->objectWidth(first), 1);

    // Data that is no picture must not leave the previous picture standing in for it.
    const std::vector<std::uint8_t> garbage = {'B', 'M', 1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(box_->setObjectPicture(first, garbage));
    EXPECT_EQ(box_->objectWidth(first), 0);
    EXPECT_EQ(loadedPictureCount(), picturesBefore_ + 1);

    destroyLiveWindow(kWindowId);
    EXPECT_EQ(loadedPictureCount(), picturesBefore_);
}

}  // namespace
}  // namespace quillora::runtime
