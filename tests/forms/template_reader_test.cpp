// Bad template data is refused with an error, never a crash: cut-short data, broken lengths,
// counts, ids and references, and handler offsets outside the handler table.
#include "form_ids.h"
#include "runtime/core/error_report.h"
#include "runtime/core/form_template.h"
#include "runtime/core/template_reader.h"
#include "tools/form_compiler/form_compiler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace quillora::runtime {
namespace {

HandlerResult ignore(const EventArguments&)
{
    return noValue();
}

const EventHandler kHandlers[64] = {&ignore, &ignore, &ignore, &ignore};
const HandlerTable kTable{kHandlers, std::size(kHandlers)};

std::vector<std::uint8_t> builtData()
{
    return {forms::templateData, forms::templateData + forms::templateDataBytes};
}

// One window: its record, a group box, a button on it, a menu item.
std::vector<std::uint8_t> smallData()
{
    const auto compiled = form_compiler::compileForms({{"small.form", R"(window W
    rect 0 0 9 9
unit 分组框1 GroupBox
    rect 0 0 5 5
unit 按钮1 Button
    parent 分组框1
    rect 1 1 2 2
    on 被单击 处理
menu 菜单1
    text "文件"
    on 被选择 处理
)"}});
    EXPECT_TRUE(compiled.ok());
    return compiled.templateData;
}

std::uint32_t load(const std::vector<std::uint8_t>& data, std::size_t at)
{
    return loadU32(data.data() + at);
}

void store(std::vector<std::uint8_t>& data, std::size_t at, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        data[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

// Field positions of the one-window data: directory (12 bytes), window header (16 bytes), unit
// count and table length, then the table.
constexpr std::size_t kUnitCountAt = 28;
constexpr std::size_t kTableAt = 36;

std::size_t recordAt(const std::vector<std::uint8_t>& data, std::size_t unit)
{
    const std::uint32_t count = load(data, kUnitCountAt);
    return kTableAt + 8 * count + load(data, kTableAt + 4 * (count + unit));
}

// The parent field of a control record named with `nameBytes` bytes and an empty remark.
std::size_t parentAt(const std::vector<std::uint8_t>& data, std::size_t unit, std::size_t nameBytes)
{
    return recordAt(data, unit) + 4 + 24 + nameBytes + 2 + 4 + 16 + 4;
}

bool refused(const std::vector<std::uint8_t>& data)
{
    return !readFormTemplates(data, kTable).ok();
}

TEST(TemplateReader, SmallDataReadsAndItsFieldsAreWhereTheTestsExpect)
{
    const std::vector<std::uint8_t> data = smallData();
    ASSERT_FALSE(refused(data));
    EXPECT_EQ(load(data, kUnitCountAt), 4u);
    EXPECT_EQ(load(data, parentAt(data, 2, std::strlen("按钮1"))), 0x16010001u);
}

TEST(TemplateReader, EveryCutShortDataIsRefused)
{
    for (const std::vector<std::uint8_t>& whole : {smallData(), builtData()}) {
        ASSERT_FALSE(refused(whole));
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + length);
            const FormTemplateReadResult result = readFormTemplates(prefix, kTable);
            ASSERT_FALSE(result.ok()) << "a prefix of " << length << " bytes was accepted";
            EXPECT_TRUE(result.templates.windows().empty());
        }
    }
}

TEST(TemplateReader, BytesAfterTheLastWindowAreRefused)
{
    std::vector<std::uint8_t> data = smallData();
    data.push_back(0);
    EXPECT_TRUE(refused(data));
}

TEST(TemplateReader, BrokenLengthsCountsAndIdsAreRefused)
{
    const std::vector<std::uint8_t> good = smallData();
    const std::size_t buttonParent = parentAt(good, 2, std::strlen("按钮1"));
    const struct {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    } corruptions[] = {
        {"directory length not a multiple of 8", 0, 12},
        {"directory longer than the data", 0, 0xFFFFFFF8u},
        {"window id outside 0x5201nnnn", 4, 0x53010001u},
        {"unit count beyond the table", kUnitCountAt, 0x20000000u},
        {"no units at all", kUnitCountAt, 0},
        {"table longer than the data", kUnitCountAt + 4, 0xFFFFFF00u},
        {"unit id of class 3", kTableAt + 4, 0x36010001u},
        {"unit id with no serial", kTableAt + 4, 0x16000000u},
        {"a second window record", kTableAt + 4, 0x06010007u},
        {"a unit id given twice", kTableAt + 8, 0x16010001u},
        {"record offset past the area", kTableAt + 16 + 4, 0xFFFFFFF0u},
        {"record length past the area", recordAt(good, 1), 0x7FFFFFFFu},
        {"name without its terminator", recordAt(good, 1), 24 + 3},
        {"window record of the button kind", recordAt(good, 0) + 4, 0x0001000Bu},
        {"button record of the window kind", recordAt(good, 2) + 4, 0x00010001u},
        {"menu item of another kind", recordAt(good, 3) + 4, 0x0001000Bu},
        {"parent that is no unit", buttonParent, 0x16010009u},
        {"parent that is the unit itself", buttonParent, 0x16010002u},
        {"child count past the record", buttonParent + 4, 0x40000000u},
    };
    for (const auto& corruption : corruptions) {
        SCOPED_TRACE(corruption.what);
        std::vector<std::uint8_t> data = good;
        store(data, corruption.at, corruption.value);
        const FormTemplateReadResult result = readFormTemplates(data, kTable);
        ASSERT_FALSE(result.ok());
        EXPECT_FALSE(result.error->message.empty());
    }
}

TEST(TemplateReader, ContainersThatContainEachOtherAreRefused)
{
    std::vector<std::uint8_t> data = smallData();
    // The group box lies on the button, which lies on the group box.
    store(data, parentAt(data, 1, std::strlen("分组框1")), 0x16010002u);
    EXPECT_TRUE(refused(data));
}

TEST(TemplateReader, HandlerOffsetsMustNameAnEntryOfTheTable)
{
    const std::vector<std::uint8_t> good = smallData();
    // The menu item's handler word lies before its 16 scratch bytes at the end of its record.
    const std::size_t menuRecord = recordAt(good, 3);
    const std::size_t handlerAt = menuRecord + 4 + load(good, menuRecord) - 16 - 4;
    ASSERT_EQ(load(good, handlerAt), 0u);

    std::vector<std::uint8_t> data = good;
    store(data, handlerAt, 63 * sizeof(EventHandler));
    const FormTemplateReadResult last = readFormTemplates(data, kTable);
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(last.templates.windows()[0].menuItems[0].handler, kHandlers[63]);

    for (std::uint32_t offset : {std::uint32_t{64 * sizeof(EventHandler)}, 3u, 0xFFFFFFF8u}) {
        store(data, handlerAt, offset);
        EXPECT_TRUE(refused(data)) << offset;
    }
    store(data, handlerAt, 0xFFFFFFFFu);
    const FormTemplateReadResult none = readFormTemplates(data, kTable);
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.templates.windows()[0].menuItems[0].handler, nullptr);

    // Without a handler table every bound offset is outside it.
    EXPECT_FALSE(readFormTemplates(good, {}).ok());
}

TEST(TemplateReader, MalformedKindPropertiesAreRefused)
{
    KindProperties properties;
    std::string error;
    const auto decode = [&](std::vector<std::uint8_t> bytes) { return decodeKindProperties(bytes, properties, error); };
    // tag Items, 8 bytes: a count of 3 items but room for none.
    EXPECT_FALSE(decode({2, 0, 0, 0, 8, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
    // tag Text with a length past the block.
    EXPECT_FALSE(decode({1, 0, 0, 0, 9, 0, 0, 0, 'a'}));
    // tag Alignment 7, which no alignment has.
    EXPECT_FALSE(decode({9, 0, 0, 0, 4, 0, 0, 0, 7, 0, 0, 0}));
    // The same tag twice.
    EXPECT_FALSE(decode({1, 0, 0, 0, 1, 0, 0, 0, 'a', 1, 0, 0, 0, 1, 0, 0, 0, 'b'}));
    // An unknown tag is skipped; a known one after it is read.
    ASSERT_TRUE(decode({99, 0, 0, 0, 2, 0, 0, 0, 1, 2, 1, 0, 0, 0, 2, 0, 0, 0, 'o', 'k'})) << error;
    EXPECT_EQ(properties.text, "ok");
}

TEST(TemplateReader, GarbageIsRefusedWithoutCrashing)
{
    std::mt19937 random(20240611);
    const std::vector<std::uint8_t> built = builtData();
    for (int round = 0; round < 1000; ++round) {
        // Noise of many sizes is never valid data.
        std::vector<std::uint8_t> noise(random() % 512 + 5);
        for (std::uint8_t& byte : noise)
            byte = static_cast<std::uint8_t>(random());
        EXPECT_TRUE(refused(noise)) << "round " << round;

        // The real data with a few bytes changed gets past the first checks; a changed caption
        // is still valid, a changed length or id is not. Either way the reader must not crash.
        std::vector<std::uint8_t> changed = built;
        for (int flips = 0; flips < 4; ++flips)
            changed[random() % changed.size()] = static_cast<std::uint8_t>(random());
        readFormTemplates(changed, kTable);
    }
}

TEST(BufferedTemplateReader, ReadsAcrossBufferBoundariesAndFailsStickily)
{
    std::vector<std::uint8_t> source(3 * BufferedTemplateReader::kBufferBytes + 7);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 7 + 3);
    BufferedTemplateReader reader(source);
    ASSERT_TRUE(reader.skip(BufferedTemplateReader::kBufferBytes - 2));
    std::uint32_t value = 0;
    ASSERT_TRUE(reader.readU32(value));  // two bytes from each of two buffer fills
    EXPECT_EQ(value, loadU32(source.data() + BufferedTemplateReader::kBufferBytes - 2));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(reader.readBytes(5000, bytes));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), source.begin() + BufferedTemplateReader::kBufferBytes + 2));
    EXPECT_EQ(reader.remaining(), source.size() - BufferedTemplateReader::kBufferBytes - 5002);

    // A length larger than what is left fails before anything is allocated, and stays failed.
    EXPECT_FALSE(reader.readBytes(0xFFFFFFFFu, bytes));
    EXPECT_TRUE(reader.failed());
    EXPECT_FALSE(reader.readU32(value));
}

TEST(RecordCursor, StringsNeedTheirTerminatorInsideTheRecord)
{
    const std::uint8_t bytes[] = {'a', 'b', 0, 'c', 'd'};
    RecordCursor cursor(bytes);
    std::string text;
    ASSERT_TRUE(cursor.readString(text));
    EXPECT_EQ(text, "ab");
    EXPECT_FALSE(cursor.readString(text));
    EXPECT_TRUE(cursor.failed());
}

int printReport(std::int32_t, std::int32_t code, const char* message)
{
    std::fprintf(stderr, "report %d %s\n", code, message);
    return 1;
}

TEST(TemplateReaderDeathTest, StartUpReportsBadDataAndExits)
{
    const std::vector<std::uint8_t> bad = {1, 2, 3};
    EXPECT_EXIT(
        {
            setErrorHook(&printReport);
            readFormTemplatesOrReport(bad, kTable);
        },
        testing::ExitedWithCode(255), "report 0 载入窗口模板数据段出错!");
}

}  // namespace
}  // namespace quillora::runtime
