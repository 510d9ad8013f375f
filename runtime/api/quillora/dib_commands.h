// The commands of the bitmap library (library 7): the DIB object, an in-memory bitmap that
// turns pages and stamps their print resolution. Call them through CallLibraryCommand with
// kBitmapLibrary.
//
// A DIB is a value, not a unit: type code kDibTypeCode, payload low = an opaque non-zero
// handle the runtime gave out, payload high = 0. The runtime owns the bitmap behind the
// handle; the value that dibCreate or dibRotate returns must be given back to dibDestroy. A
// command given a value that names no live DIB (zero, destroyed, made up) does nothing and
// returns false or an empty result; dibRotate then returns a new empty object.
//
// Every method takes the DIB value as argument 0, as a unit method takes its unit.
#pragma once

#include <cstdint>

#include "quillora/entry_table.h"
#include "quillora/runtime_value.h"

namespace quillora {

inline constexpr std::int32_t kBitmapLibrary = 7;
inline constexpr std::uint32_t kDibTypeCode = unitTypeCode(7, 1);

// () -> DIB: a new empty object.
void dibCreate(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB) -> nothing: releases the object; the value may not be used again.
void dibDestroy(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB, byte set: BMP file data) -> bool. On failure the object is left empty.
void dibLoadFromData(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB) -> byte set: the bitmap as a complete BMP file; empty when the object holds none.
void dibGetData(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB, angle in degrees: any number, background colour 0x00BBGGRR: int, 0 when absent)
//   -> DIB: a new object with the bitmap turned clockwise; empty when the turn failed.
void dibRotate(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB, pixels per metre: int) -> bool: stamps the header's horizontal resolution.
void dibSetHorizontalResolution(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB, pixels per metre: int) -> bool: stamps the header's vertical resolution.
void dibSetVerticalResolution(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (DIB) -> text: why the object's last operation failed; empty after a success.
void dibLastError(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
