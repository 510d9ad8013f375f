#include "quillora/runtime_value.h"

#include "quillora/array_block.h"

#include <algorithm>
#include <limits>

namespace quillora {

std::size_t dataSize(TypeCode type)
{
    switch (type) {
    case TypeCode::Byte:
        return 1;
    case TypeCode::Short:
        return 2;
    case TypeCode::Integer:
    case TypeCode::Float:
    case TypeCode::Bool:
        return 4;
    case TypeCode::Text:
    case TypeCode::ByteSet:
    case TypeCode::Subroutine:
        return sizeof(void*);
    case TypeCode::LongInteger:
    case TypeCode::Double:
    case TypeCode::DateTime:
        return 8;
    }
    return 4;
}

RuntimeValue makeInt(std::int32_t number)
{
    return {static_cast<std::uint32_t>(number), 0, static_cast<std::uint32_t>(TypeCode::Integer)};
}

RuntimeValue makeInt64(std::int64_t number)
{
    const auto bits = static_cast<std::uint64_t>(number);
    return {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32),
            static_cast<std::uint32_t>(TypeCode::LongInteger)};
}

RuntimeValue makeByte(std::uint8_t number)
{
    return {number, 0, static_cast<std::uint32_t>(TypeCode::Byte)};
}

RuntimeValue makeShort(std::int16_t number)
{
    return {static_cast<std::uint32_t>(static_cast<std::int32_t>(number)), 0,
            static_cast<std::uint32_t>(TypeCode::Short)};
}

RuntimeValue makeFloat(float number)
{
    RuntimeValue value{0, 0, static_cast<std::uint32_t>(TypeCode::Float)};
    std::memcpy(&value.low, &number, sizeof number);
    return value;
}

static RuntimeValue doubleValue(double number, TypeCode type)
{
    std::uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    return {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32),
            static_cast<std::uint32_t>(type)};
}

RuntimeValue makeDouble(double number)
{
    return doubleValue(number, TypeCode::Double);
}

RuntimeValue makeBool(bool flag)
{
    return {flag ? 1u : 0u, 0, static_cast<std::uint32_t>(TypeCode::Bool)};
}

RuntimeValue makeDateTime(double days)
{
    // A NaN date would survive std::clamp; it becomes the earliest date instead.
    if (!(days >= kEarliestDate))
        days = kEarliestDate;
    return doubleValue(std::min(days, kLatestDate), TypeCode::DateTime);
}

RuntimeValue makePointer(TypeCode type, const void* pointer)
{
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer));
    return {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32),
            static_cast<std::uint32_t>(type)};
}

RuntimeValue makeUnitRef(std::uint32_t typeCode, std::uint32_t windowId, std::uint32_t unitId)
{
    return {windowId, unitId, typeCode};
}

RuntimeValue copyValue(const RuntimeValue& value)
{
    switch (static_cast<TypeCode>(value.type)) {
    case TypeCode::Bool:
        return makeBool(value.low != 0);
    case TypeCode::DateTime:
        return makeDateTime(asDouble(value));
    default:
        return value;
    }
}

std::uint32_t byteSetLength(const RuntimeValue& value)
{
    const void* block = asPointer(value);
    if (!block)
        return 0;
    ByteSetHeader header;
    std::memcpy(&header, block, sizeof header);
    return header.length;
}

const std::uint8_t* byteSetData(const RuntimeValue& value)
{
    const void* block = asPointer(value);
    return block ? static_cast<const std::uint8_t*>(block) + sizeof(ByteSetHeader) : nullptr;
}

const char* effectiveFaceName(const char* faceName)
{
    if (!faceName || faceName[0] == '\0')
        return kDefaultFaceName;
    if (std::strlen(faceName) > kMaxFaceNameBytes)
        return kDefaultFaceName;
    return faceName;
}

void writeFontMember(FontValue& font, FontMember member, std::int64_t payload)
{
    const auto number = static_cast<std::int32_t>(payload);
    switch (member) {
    case FontMember::Angle:
        // Angles wrap around the circle; a negative angle counts from the other side.
        font.angleTenths = ((number % 3600) + 3600) % 3600;
        break;
    case FontMember::Bold:
        font.bold = number != 0;
        break;
    case FontMember::Italic:
        font.italic = number != 0;
        break;
    case FontMember::Underline:
        font.underline = number != 0;
        break;
    case FontMember::StrikeOut:
        font.strikeOut = number != 0;
        break;
    case FontMember::Size:
        font.sizePoints = number;
        break;
    case FontMember::FaceName:
        font.faceName = effectiveFaceName(reinterpret_cast<const char*>(static_cast<std::uintptr_t>(payload)));
        break;
    case FontMember::Whole:
        break;
    }
}

std::optional<ArrayShape> readArrayShape(const void* block)
{
    if (!block)
        return std::nullopt;
    ArrayShape shape;
    std::memcpy(&shape.dimensionCount, block, sizeof shape.dimensionCount);
    shape.headerBytes = 4 + 4 * static_cast<std::size_t>(shape.dimensionCount);
    std::uint64_t count = 1;
    for (std::uint32_t d = 0; d < shape.dimensionCount; ++d) {
        std::uint32_t size;
        std::memcpy(&size, static_cast<const std::uint8_t*>(block) + 4 + 4 * d, sizeof size);
        if (size != 0 && count > std::numeric_limits<std::uint64_t>::max() / size)
            return std::nullopt;
        count *= size;
    }
    shape.elementCount = shape.dimensionCount == 0 ? 0 : count;
    return shape;
}

std::optional<std::size_t> arrayBlockBytes(const void* block, std::size_t elementSize)
{
    const auto shape = readArrayShape(block);
    if (!shape || elementSize == 0)
        return shape ? std::optional<std::size_t>(shape->headerBytes) : std::nullopt;
    if (shape->elementCount > (std::numeric_limits<std::size_t>::max() - shape->headerBytes) / elementSize)
        return std::nullopt;
    return shape->headerBytes + shape->elementCount * elementSize;
}

}  // namespace quillora
