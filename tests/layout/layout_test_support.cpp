#include "layout_test_support.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>

#include "common/handlers.h"
#include "form_ids.h"
#include "pagesetup/print_settings.h"
#include "platform/fs/drive_map.h"
#include "platform/gui_application.h"
#include "runtime/core/form_template.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"

namespace quillora::layout_test {
namespace {

class LayoutTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        platform::startGuiApplication();
        app::createPageSetupState();
    }
    void TearDown() override
    {
        unloadProgramWindows();
        app::releasePageSetupState();
        platform::stopGuiApplication();
    }
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new LayoutTestEnvironment);

void put16(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

std::uint32_t get32(const Bytes& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

void installProgramWindows()
{
    static bool installed = false;
    if (installed)
        return;
    auto read = runtime::readFormTemplates({forms::templateData, forms::templateDataBytes},
                                           {app::applicationHandlers, app::applicationHandlerCount});
    ASSERT_TRUE(read.ok());
    runtime::installFormTemplates(std::move(read.templates));
    installed = true;
}

void unloadProgramWindows()
{
    runtime::destroyLiveWindow(forms::ProgressWindow::id);
    runtime::destroyLiveWindow(forms::PrintSettingsWindow::id);
}

Bytes plainBmp(int width, int height, std::uint32_t rgb)
{
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    Bytes bytes(54 + rowBytes * static_cast<std::size_t>(height), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    put32(bytes, 10, 54);
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<std::uint32_t>(width));
    put32(bytes, 22, static_cast<std::uint32_t>(height));
    put16(bytes, 26, 1);
    put16(bytes, 28, 24);
    put32(bytes, 34, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &bytes[54 + static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(x) * 3];
            pixel[0] = static_cast<std::uint8_t>(rgb);
            pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
            pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
        }
    return bytes;
}

std::string writePicture(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return platform::toWindowsPath(path.string()).value_or(std::string());
}

BmpPicture::BmpPicture(Bytes bytes) : bytes_(std::move(bytes))
{
    if (bytes_.size() < 54 || bytes_[0] != 'B' || bytes_[1] != 'M')
        return;
    width_ = static_cast<int>(get32(bytes_, 18));
    const auto rawHeight = static_cast<std::int32_t>(get32(bytes_, 22));
    bottomUp_ = rawHeight > 0;
    height_ = rawHeight > 0 ? rawHeight : -rawHeight;
    bitCount_ = bytes_[28] | bytes_[29] << 8;
    pixelOffset_ = get32(bytes_, 10);
    if (bitCount_ != 24 && bitCount_ != 32)
        return;
    rowBytes_ = (static_cast<std::size_t>(width_) * static_cast<std::size_t>(bitCount_ / 8) + 3) / 4 * 4;
    valid_ = width_ > 0 && pixelOffset_ + rowBytes_ * static_cast<std::size_t>(height_) <= bytes_.size();
}

std::uint32_t BmpPicture::pixel(int x, int y) const
{
    if (!valid_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0xFFFFFFFF;
    const int row = bottomUp_ ? height_ - 1 - y : y;
    const std::uint8_t* p = &bytes_[pixelOffset_ + static_cast<std::size_t>(row) * rowBytes_ +
                                    static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount_ / 8)];
    return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

bool BmpPicture::inkIn(int left, int top, int width, int height) const
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            if (pixel(x, y) != 0xFFFFFF && pixel(x, y) != 0xFFFFFFFF)
                return true;
    return false;
}

void setModifiedSeconds(const std::filesystem::path& path, std::int64_t seconds)
{
    const auto moment = std::chrono::sys_seconds{std::chrono::seconds{seconds}};
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(moment));
}

TimeZone::TimeZone(const char* zone)
{
    if (const char* previous = std::getenv("TZ"))
        previous_ = previous;
    setenv("TZ", zone, 1);
}

TimeZone::~TimeZone()
{
    if (previous_)
        setenv("TZ", previous_->c_str(), 1);
    else
        unsetenv("TZ");
}

TempFolder::TempFolder()
{
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("quillora-layout-" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace quillora::layout_test
