// The typed value record that crosses the boundary between the application and the runtime.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quillora {

// Type codes of RuntimeValue. Every value is three 32-bit words: payload low, payload high,
// type code.
//
//   code        kind           payload
//   0x80000101  byte           8-bit unsigned in the low byte of `low`
//   0x80000201  short          16-bit signed in `low`
//   0x80000301  integer        32-bit signed in `low`
//   0x80000401  long integer   64-bit signed, low word then high word
//   0x80000501  float          IEEE single in `low`
//   0x80000601  double         IEEE double over both words
//   0x80000002  bool           any non-zero `low` is true; copies store 1
//   0x80000003  date-time      IEEE double of days since 1899-12-30, clamped on assignment
//   0x80000004  text           pointer to zero-terminated UTF-8 text; null is the empty text
//   0x80000005  byte set       pointer to {u32 1, u32 n, n bytes}; null is the empty byte set,
//                              and a byte set of length 0 is always null
//   0x80000006  subroutine     code address of an application subroutine
//   (lib << 16) | type         unit reference: `low` = window id, `high` = unit id
//
// Pointers are 8 bytes on 64-bit Linux, so text, byte-set and subroutine payloads use both
// payload words (low word = low 32 bits of the address). The record itself stays 12 bytes.
//
// Ownership: a text or byte-set payload returned by a command, by ReadUnitProperty or by a
// runtime service is a fresh heap block that the caller releases with FreeBlock. Arguments stay
// owned by the caller; a command never frees what it is given. Literal texts and byte sets that
// lie in the program's constant data are static blocks: FreeBlock ignores them and ResizeBlock
// copies them out, so they can be handed around like heap values.
enum class TypeCode : std::uint32_t {
    Byte = 0x80000101u,
    Short = 0x80000201u,
    Integer = 0x80000301u,
    LongInteger = 0x80000401u,
    Float = 0x80000501u,
    Double = 0x80000601u,
    Bool = 0x80000002u,
    DateTime = 0x80000003u,
    Text = 0x80000004u,
    ByteSet = 0x80000005u,
    Subroutine = 0x80000006u,
};

struct RuntimeValue {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    std::uint32_t type = 0;
};
static_assert(sizeof(RuntimeValue) == 12, "RuntimeValue is three 32-bit words");

// A unit's type code: (support library number << 16) | type number within that library.
constexpr std::uint32_t unitTypeCode(std::uint32_t library, std::uint32_t typeNumber)
{
    return (library << 16) | typeNumber;
}

// True when the type code names a unit kind rather than a basic type.
constexpr bool isUnitType(std::uint32_t type)
{
    return (type & 0x80000000u) == 0 && type != 0;
}

// Bytes one element of a basic type takes in an array block. Pointer kinds take the width of
// a pointer, which is 8 on 64-bit Linux.
std::size_t dataSize(TypeCode type);

// The earliest and latest OLE automation dates a date-time value may hold.
inline constexpr double kEarliestDate = -657434.0;
inline constexpr double kLatestDate = 2958465.0;

// --- payload accessors ------------------------------------------------------------------------

inline std::int32_t asInt(const RuntimeValue& value) { return static_cast<std::int32_t>(value.low); }

inline std::int64_t asInt64(const RuntimeValue& value)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(value.high) << 32) | value.low);
}

inline double asDouble(const RuntimeValue& value)
{
    std::uint64_t bits = (static_cast<std::uint64_t>(value.high) << 32) | value.low;
    double result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

inline float asFloat(const RuntimeValue& value)
{
    float result;
    std::memcpy(&result, &value.low, sizeof result);
    return result;
}

inline bool asBool(const RuntimeValue& value) { return value.low != 0; }

inline void* asPointer(const RuntimeValue& value)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(
        (static_cast<std::uint64_t>(value.high) << 32) | value.low));
}

// A text payload; null reads as the empty text.
inline const char* asText(const RuntimeValue& value)
{
    const char* text = static_cast<const char*>(asPointer(value));
    return text ? text : "";
}

// --- value makers -----------------------------------------------------------------------------

RuntimeValue makeInt(std::int32_t number);
RuntimeValue makeInt64(std::int64_t number);
RuntimeValue makeByte(std::uint8_t number);
RuntimeValue makeShort(std::int16_t number);
RuntimeValue makeFloat(float number);
RuntimeValue makeDouble(double number);
RuntimeValue makeBool(bool flag);
// Clamps to the range a date-time may hold.
RuntimeValue makeDateTime(double days);
// Wraps a pointer without copying: the caller decides who owns the block.
RuntimeValue makePointer(TypeCode type, const void* pointer);
RuntimeValue makeUnitRef(std::uint32_t typeCode, std::uint32_t windowId, std::uint32_t unitId);

// Copies a value the way assignments do: a bool is stored back as 1, a date-time is clamped.
RuntimeValue copyValue(const RuntimeValue& value);

// --- byte sets --------------------------------------------------------------------------------

// The byte-set block: one dimension of n bytes.
struct ByteSetHeader {
    std::uint32_t dimensionCount;  // always 1
    std::uint32_t length;
};
static_assert(sizeof(ByteSetHeader) == 8);

// Length of a byte-set payload (0 for null).
std::uint32_t byteSetLength(const RuntimeValue& value);
// First byte of a byte-set payload, or null for the empty byte set.
const std::uint8_t* byteSetData(const RuntimeValue& value);

// --- the font value ---------------------------------------------------------------------------

// The whole value of a unit's font property. The face pointer is 8 bytes on 64-bit Linux.
struct FontValue {
    std::int32_t angleTenths;  // escapement in tenths of a degree
    std::int32_t bold;
    std::int32_t italic;
    std::int32_t underline;
    std::int32_t strikeOut;
    std::int32_t sizePoints;
    const char* faceName;
};

// Member indices for writing one part of a font property; -1 writes the whole value.
enum class FontMember : std::int32_t {
    Whole = -1,
    Angle = 0,
    Bold = 1,
    Italic = 2,
    Underline = 3,
    StrikeOut = 4,
    Size = 5,
    FaceName = 6,
};

inline constexpr const char* kDefaultFaceName = "宋体";
inline constexpr std::size_t kMaxFaceNameBytes = 31;

// The face name a font value really uses: a missing, empty or over-long name becomes "宋体".
const char* effectiveFaceName(const char* faceName);

// Writes one member of a font value; the face name pointer is stored, not copied.
void writeFontMember(FontValue& font, FontMember member, std::int64_t payload);

}  // namespace quillora
