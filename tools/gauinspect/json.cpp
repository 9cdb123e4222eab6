#include "tools/gauinspect/json.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

namespace gauinspect {

std::string hex(uint64_t value, int digits) {
    char buf[32];
    snprintf(buf, sizeof buf, "0x%0*llx", digits, static_cast<unsigned long long>(value));
    return buf;
}

Json& Json::push(Json value) {
    if (kind_ == Kind::null) kind_ = Kind::array;
    items_.push_back(std::move(value));
    return items_.back();
}

Json& Json::set(const std::string& key, Json value) {
    if (kind_ == Kind::null) kind_ = Kind::object;
    for (auto& [k, v] : members_)
        if (k == key) return v = std::move(value);
    members_.emplace_back(key, std::move(value));
    return members_.back().second;
}

Json& Json::operator[](const std::string& key) {
    if (kind_ == Kind::null) kind_ = Kind::object;
    for (auto& [k, v] : members_)
        if (k == key) return v;
    members_.emplace_back(key, Json());
    return members_.back().second;
}

const Json* Json::find(const std::string& key) const {
    for (const auto& [k, v] : members_)
        if (k == key) return &v;
    return nullptr;
}

namespace {

void escape(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7f) {
                // Bytes outside printable ASCII are shown as \u00XX: the inspector never
                // assumes a module's texts are valid UTF-8.
                char buf[8];
                snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

std::string real_text(double d) {
    if (isnan(d)) return "\"nan\"";
    if (isinf(d)) return d > 0 ? "\"inf\"" : "\"-inf\"";
    char buf[40];
    if (fabs(d) < 1e15 && d == static_cast<double>(static_cast<long long>(d))) {
        snprintf(buf, sizeof buf, "%.1f", d);  // whole numbers keep a decimal point: 40.0
        return buf;
    }
    snprintf(buf, sizeof buf, "%.17g", d);
    // Shortest form that reads back to the same double.
    for (int precision = 1; precision <= 17; ++precision) {
        char shorter[40];
        snprintf(shorter, sizeof shorter, "%.*g", precision, d);
        if (strtod(shorter, nullptr) == d) return shorter;
    }
    return buf;
}

}  // namespace

std::string Json::scalar_text() const {
    std::string out;
    switch (kind_) {
    case Kind::null: return "null";
    case Kind::boolean: return b_ ? "true" : "false";
    case Kind::integer: return std::to_string(i_);
    case Kind::unsigned_integer: return std::to_string(u_);
    case Kind::real: return real_text(d_);
    case Kind::string: escape(out, s_); return out;
    default: return out;
    }
}

bool Json::is_flat() const {
    for (const Json& item : items_)
        if (!item.is_scalar()) return false;
    for (const auto& member : members_)
        if (!member.second.is_scalar()) return false;
    return true;
}

void Json::write_json(std::string& out, int indent, int depth) const {
    if (is_scalar()) {
        out += scalar_text();
        return;
    }
    const bool is_array = kind_ == Kind::array;
    const size_t n = size();
    if (n == 0) {
        out += is_array ? "[]" : "{}";
        return;
    }
    // Short lists of scalars stay on one line.
    const bool one_line = indent == 0 || (is_flat() && (is_array ? n <= 16 : n <= 4));
    out += is_array ? '[' : '{';
    for (size_t i = 0; i < n; ++i) {
        if (i) out += one_line ? ", " : ",";
        if (!one_line) {
            out += '\n';
            out.append(static_cast<size_t>(indent * (depth + 1)), ' ');
        }
        if (is_array) {
            items_[i].write_json(out, indent, depth + 1);
        } else {
            escape(out, members_[i].first);
            out += ": ";
            members_[i].second.write_json(out, indent, depth + 1);
        }
    }
    if (!one_line) {
        out += '\n';
        out.append(static_cast<size_t>(indent * depth), ' ');
    }
    out += is_array ? ']' : '}';
}

std::string Json::to_json(int indent) const {
    std::string out;
    write_json(out, indent, 0);
    out += '\n';
    return out;
}

// Text form: "key: value" lines, nested records indented, lists of records as "- " items,
// lists of plain values on one line. Strings are shown quoted, exactly as in JSON.
void Json::write_text(std::string& out, int depth) const {
    const std::string pad(static_cast<size_t>(2 * depth), ' ');
    if (kind_ == Kind::object) {
        for (const auto& [key, value] : members_) {
            out += pad + key + ":";
            if (value.is_scalar()) {
                out += " " + value.scalar_text() + "\n";
            } else if (value.empty()) {
                out += value.kind_ == Kind::array ? " []\n" : " {}\n";
            } else if (value.kind_ == Kind::array && value.is_flat()) {
                out += " [";
                for (size_t i = 0; i < value.items_.size(); ++i)
                    out += (i ? ", " : "") + value.items_[i].scalar_text();
                out += "]\n";
            } else {
                out += "\n";
                value.write_text(out, depth + 1);
            }
        }
    } else if (kind_ == Kind::array) {
        for (const Json& item : items_) {
            if (item.kind_ == Kind::object && !item.empty()) {
                std::string inner;
                item.write_text(inner, depth + 1);
                // The first member goes on the "- " line.
                out += pad + "- " + inner.substr(pad.size() + 2);
            } else if (item.is_scalar()) {
                out += pad + "- " + item.scalar_text() + "\n";
            } else if (item.kind_ == Kind::array && item.is_flat()) {
                out += pad + "- [";
                for (size_t i = 0; i < item.items_.size(); ++i)
                    out += (i ? ", " : "") + item.items_[i].scalar_text();
                out += "]\n";
            } else {
                out += pad + "-\n";
                item.write_text(out, depth + 1);
            }
        }
    } else {
        out += pad + scalar_text() + "\n";
    }
}

std::string Json::to_text() const {
    std::string out;
    write_text(out, 0);
    return out;
}

}  // namespace gauinspect
