// A small ordered document tree that the inspector fills once and renders twice: as JSON for
// programs and as indented text for people.
#pragma once

#include <stdint.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace gauinspect {

class Json {
public:
    enum class Kind { null, boolean, integer, unsigned_integer, real, string, array, object };

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool b) : kind_(Kind::boolean), b_(b) {}
    Json(int v) : kind_(Kind::integer), i_(v) {}
    Json(long v) : kind_(Kind::integer), i_(v) {}
    Json(long long v) : kind_(Kind::integer), i_(v) {}
    Json(unsigned v) : kind_(Kind::unsigned_integer), u_(v) {}
    Json(unsigned long v) : kind_(Kind::unsigned_integer), u_(v) {}
    Json(unsigned long long v) : kind_(Kind::unsigned_integer), u_(v) {}
    Json(double v) : kind_(Kind::real), d_(v) {}
    Json(const char* s) : kind_(Kind::string), s_(s) {}
    Json(std::string s) : kind_(Kind::string), s_(std::move(s)) {}

    static Json array() { Json j; j.kind_ = Kind::array; return j; }
    static Json object() { Json j; j.kind_ = Kind::object; return j; }

    Kind kind() const { return kind_; }
    // Appends to an array.
    Json& push(Json value);
    // Sets a member of an object (appends; member order is insertion order).
    Json& set(const std::string& key, Json value);
    // The member `key` of an object, created as null when missing.
    Json& operator[](const std::string& key);
    const Json* find(const std::string& key) const;
    size_t size() const { return kind_ == Kind::array ? items_.size() : members_.size(); }
    bool empty() const { return size() == 0; }
    const std::vector<Json>& items() const { return items_; }
    const std::vector<std::pair<std::string, Json>>& members() const { return members_; }
    const std::string& str() const { return s_; }

    std::string to_json(int indent = 2) const;
    std::string to_text() const;

private:
    void write_json(std::string& out, int indent, int depth) const;
    void write_text(std::string& out, int depth) const;
    std::string scalar_text() const;
    bool is_scalar() const { return kind_ != Kind::array && kind_ != Kind::object; }
    bool is_flat() const;

    Kind kind_ = Kind::null;
    bool b_ = false;
    long long i_ = 0;
    unsigned long long u_ = 0;
    double d_ = 0.0;
    std::string s_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};

// Hexadecimal text of a number, e.g. "0x1f" (minimum `digits` digits).
std::string hex(uint64_t value, int digits = 1);

}  // namespace gauinspect
