#include "profiles/json_access.h"

#include <cmath>
#include <limits>

namespace rerov::json {

namespace {
const Json::Value kNull;
}

const Json::Value& Member(const Json::Value& value, const char* key) {
    if (!value.isObject()) return kNull;
    const Json::Value* found = value.find(key, key + std::char_traits<char>::length(key));
    return found ? *found : kNull;
}

const Json::Value& Element(const Json::Value& value, Json::ArrayIndex index) {
    if (!value.isArray() || index >= value.size()) return kNull;
    return value[index];
}

std::int64_t ToInt64(const Json::Value& value) {
    if (value.isInt64()) return value.asInt64();
    if (value.isUInt64()) return static_cast<std::int64_t>(value.asUInt64());
    if (value.isBool()) return value.asBool() ? 1 : 0;
    if (value.isDouble()) {
        const double d = value.asDouble();
        if (!std::isfinite(d)) return 0;
        // Out-of-range doubles are cut to the 64-bit range before the field truncation.
        if (d >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
        if (d <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(d);
    }
    return 0;
}

std::uint8_t ToFlag(const Json::Value& value) {
    if (value.isBool()) return value.asBool() ? 1 : 0;
    if (value.isDouble()) return value.asDouble() != 0.0 ? 1 : 0;
    if (value.isNumeric()) return ToInt64(value) != 0 ? 1 : 0;
    return 0;
}

std::string ToString(const Json::Value& value) {
    return value.isString() ? value.asString() : std::string();
}

Json::Value& AsObject(Json::Value& value) {
    if (!value.isObject()) value = Json::Value(Json::objectValue);
    return value;
}

Json::Value& AsArray(Json::Value& value) {
    if (!value.isArray()) value = Json::Value(Json::arrayValue);
    return value;
}

Json::Value& ObjectMember(Json::Value& value, const char* key) { return AsObject(value)[key]; }

Json::Value& ArrayElement(Json::Value& value, Json::ArrayIndex index) {
    return AsArray(value)[index];
}

Json::Value& WritableObject(Json::Value& parent, const char* key) {
    return AsObject(ObjectMember(parent, key));
}

Json::Value& WritableArray(Json::Value& parent, const char* key) {
    return AsArray(ObjectMember(parent, key));
}

Json::Value& WritableObjectAt(Json::Value& array, Json::ArrayIndex index) {
    return AsObject(ArrayElement(array, index));
}

Json::Value& WritableArrayAt(Json::Value& array, Json::ArrayIndex index) {
    return AsArray(ArrayElement(array, index));
}

}  // namespace rerov::json
