#pragma once

#include <json/value.h>

#include <cstdint>
#include <string>

// Shape-tolerant access to parsed documents. A file that parses but has another shape than
// expected (an array where an object belongs, a string where a number belongs) reads as a
// missing member instead of tripping the JSON library's assertions.
namespace rerov::json {

/// Member `key` of an object; a null value when `value` is not an object or lacks the key.
const Json::Value& Member(const Json::Value& value, const char* key);

/// Element `index` of an array; a null value when `value` is not an array or is too short.
const Json::Value& Element(const Json::Value& value, Json::ArrayIndex index);

/// Integer conversion in the library's manner (numbers and booleans; anything else is 0),
/// truncated to 64 bits; callers truncate further to their field width.
std::int64_t ToInt64(const Json::Value& value);
inline std::uint8_t ToU8(const Json::Value& v) { return static_cast<std::uint8_t>(ToInt64(v)); }
inline std::uint16_t ToU16(const Json::Value& v) { return static_cast<std::uint16_t>(ToInt64(v)); }
inline std::int32_t ToI32(const Json::Value& v) { return static_cast<std::int32_t>(ToInt64(v)); }

/// Boolean conversion: any non-zero number or true is 1, anything else 0.
std::uint8_t ToFlag(const Json::Value& value);

/// The string of a string value, "" for any other type.
std::string ToString(const Json::Value& value);

/// Makes `value` an object (replacing any other type) and returns it.
Json::Value& AsObject(Json::Value& value);

/// Makes `value` an array (replacing any other type) and returns it.
Json::Value& AsArray(Json::Value& value);

/// Member `key` of `value` after making `value` an object. The member keeps whatever type it
/// has: assign to it, or use WritableObject / WritableArray to write into it.
Json::Value& ObjectMember(Json::Value& value, const char* key);

/// Element `index` of `value` after making `value` an array (grown with nulls as needed).
Json::Value& ArrayElement(Json::Value& value, Json::ArrayIndex index);

// Writers reach into a section through these: a section of another type than the writer needs
// (a file written by someone else) is replaced by an empty one of the right type, so only
// that broken section is lost and the parent's other members stay as they were.

/// Member `key` of `parent` as an object, ready for writing into; `parent` becomes an object.
Json::Value& WritableObject(Json::Value& parent, const char* key);

/// Member `key` of `parent` as an array, ready for writing into; `parent` becomes an object.
Json::Value& WritableArray(Json::Value& parent, const char* key);

/// Element `index` of `array` as an object, ready for writing into; `array` becomes an array
/// (grown with nulls as needed).
Json::Value& WritableObjectAt(Json::Value& array, Json::ArrayIndex index);

/// Element `index` of `array` as an array, ready for writing into.
Json::Value& WritableArrayAt(Json::Value& array, Json::ArrayIndex index);

}  // namespace rerov::json
