#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon::testing {

// A JSON value as RFC 8259 has it, read by a parser that refuses anything else: trailing commas,
// bare words, control characters or bad escapes in strings, bytes that are not UTF-8, text after
// the value. Strings are kept in UTF-8, escapes resolved.
struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    JsonValue const& operator[](std::string const& name) const { return members.at(name); }
    JsonValue const& operator[](std::size_t index) const { return items.at(index); }
    bool Has(std::string const& name) const { return members.count(name) != 0; }
};

class StrictJson {
public:
    static std::optional<JsonValue> Parse(std::string_view text) {
        StrictJson parser(text);
        JsonValue value;
        parser.Blanks();
        if (!parser.Value(value, 0)) return std::nullopt;
        parser.Blanks();
        if (parser.at_ != text.size()) return std::nullopt;
        return value;
    }

private:
    explicit StrictJson(std::string_view text) : s_(text) {}

    bool End() const { return at_ >= s_.size(); }
    char Peek() const { return End() ? '\0' : s_[at_]; }
    void Blanks() {
        while (!End() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
    }
    bool Word(std::string_view word) {
        if (s_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    bool Value(JsonValue& value, int depth) {
        if (depth > 64) return false;
        switch (Peek()) {
        case '{': return Object(value, depth);
        case '[': return Array(value, depth);
        case '"': value.type = JsonValue::Type::String; return String(value.text);
        case 't': value.type = JsonValue::Type::Bool; value.boolean = true; return Word("true");
        case 'f': value.type = JsonValue::Type::Bool; return Word("false");
        case 'n': value.type = JsonValue::Type::Null; return Word("null");
        default: value.type = JsonValue::Type::Number; return Number(value.number);
        }
    }

    bool Object(JsonValue& value, int depth) {
        value.type = JsonValue::Type::Object;
        ++at_;
        Blanks();
        if (Peek() == '}') return ++at_, true;
        for (;;) {
            std::string name;
            if (Peek() != '"' || !String(name) || value.members.count(name) != 0) return false;
            Blanks();
            if (Peek() != ':') return false;
            ++at_;
            Blanks();
            if (!Value(value.members[name], depth + 1)) return false;
            Blanks();
            if (Peek() == '}') return ++at_, true;
            if (Peek() != ',') return false;
            ++at_;
            Blanks();
        }
    }

    bool Array(JsonValue& value, int depth) {
        value.type = JsonValue::Type::Array;
        ++at_;
        Blanks();
        if (Peek() == ']') return ++at_, true;
        for (;;) {
            value.items.emplace_back();
            if (!Value(value.items.back(), depth + 1)) return false;
            Blanks();
            if (Peek() == ']') return ++at_, true;
            if (Peek() != ',') return false;
            ++at_;
            Blanks();
        }
    }

    bool Number(double& number) {
        std::size_t const from = at_;
        if (Peek() == '-') ++at_;
        if (Peek() == '0') {
            ++at_;
        } else if (Peek() >= '1' && Peek() <= '9') {
            while (Peek() >= '0' && Peek() <= '9') ++at_;
        } else {
            return false;
        }
        if (Peek() == '.') {
            ++at_;
            if (!(Peek() >= '0' && Peek() <= '9')) return false;
            while (Peek() >= '0' && Peek() <= '9') ++at_;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            if (Peek() == '+' || Peek() == '-') ++at_;
            if (!(Peek() >= '0' && Peek() <= '9')) return false;
            while (Peek() >= '0' && Peek() <= '9') ++at_;
        }
        number = std::stod(std::string(s_.substr(from, at_ - from)));
        return true;
    }

    static void PutUtf8(std::string& out, std::uint32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    bool Hex4(std::uint32_t& unit) {
        if (at_ + 4 > s_.size()) return false;
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            char const c = s_[at_++];
            unit <<= 4;
            if (c >= '0' && c <= '9') unit |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') unit |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') unit |= static_cast<std::uint32_t>(c - 'A' + 10);
            else return false;
        }
        return true;
    }

    // One UTF-8 sequence, whole and shortest, copied.
    bool Utf8(std::string& out) {
        auto const lead = static_cast<unsigned char>(s_[at_]);
        int const more = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
        if (more < 0 || at_ + static_cast<std::size_t>(more) >= s_.size()) return false;
        std::uint32_t c = lead & (0x3F >> more);
        for (int i = 1; i <= more; ++i) {
            auto const next = static_cast<unsigned char>(s_[at_ + static_cast<std::size_t>(i)]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if ((more == 2 && c < 0x800) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        out.append(s_.substr(at_, static_cast<std::size_t>(more) + 1));
        at_ += static_cast<std::size_t>(more) + 1;
        return true;
    }

    bool String(std::string& out) {
        ++at_;  // the opening quote
        for (;;) {
            if (End()) return false;
            auto const c = static_cast<unsigned char>(s_[at_]);
            if (c == '"') return ++at_, true;
            if (c < 0x20) return false;
            if (c >= 0x80) {
                if (!Utf8(out)) return false;
                continue;
            }
            ++at_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (End()) return false;
            char const e = s_[at_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                std::uint32_t unit = 0;
                if (!Hex4(unit)) return false;
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    std::uint32_t low = 0;
                    if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    return false;
                }
                PutUtf8(out, unit);
                break;
            }
            default: return false;
            }
        }
    }

    std::string_view s_;
    std::size_t at_ = 0;
};

}  // namespace vigilon::testing
