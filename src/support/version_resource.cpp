#include "support/version_resource.h"

namespace vigilon {
namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoBytes = 52;
constexpr std::size_t kHeaderBytes = 6;  // wLength, wValueLength, wType

// One node of the resource's tree: a header, its key (NUL-terminated UTF-16), its value and then
// its children, each of the last three starting on a 4-byte boundary of the resource.
struct Node {
    std::wstring key;
    std::size_t value = 0;      // offset of the value
    std::size_t valueSize = 0;  // its size in bytes, at most up to the node's end
    std::size_t children = 0;   // offset of the first child
    std::size_t end = 0;        // offset just past the node
};

std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

std::uint16_t Word(std::span<std::uint8_t const> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::optional<Node> ReadNode(std::span<std::uint8_t const> bytes, std::size_t at, std::size_t limit) {
    if (at + kHeaderBytes > limit) return std::nullopt;
    std::size_t const length = Word(bytes, at);
    std::size_t const valueLength = Word(bytes, at + 2);
    bool const text = Word(bytes, at + 4) == 1;
    if (length < kHeaderBytes || at + length > limit) return std::nullopt;
    Node node;
    node.end = at + length;
    std::size_t offset = at + kHeaderBytes;
    for (;; offset += 2) {
        if (offset + 2 > node.end) return std::nullopt;
        wchar_t const c = static_cast<wchar_t>(Word(bytes, offset));
        if (c == L'\0') break;
        node.key.push_back(c);
    }
    node.value = Aligned(offset + 2);
    // A text value's length counts UTF-16 units, a binary one's bytes.
    std::size_t const size = text ? valueLength * 2 : valueLength;
    node.valueSize = node.value >= node.end ? 0 : std::min(size, node.end - node.value);
    node.children = Aligned(node.value + node.valueSize);
    return node;
}

// The child of `parent` with `key`.
std::optional<Node> Child(std::span<std::uint8_t const> bytes, Node const& parent, std::wstring_view key) {
    for (std::size_t at = parent.children; at < parent.end;) {
        std::optional<Node> child = ReadNode(bytes, at, parent.end);
        if (!child) return std::nullopt;
        if (child->key == key) return child;
        at = Aligned(child->end);
    }
    return std::nullopt;
}

std::optional<Node> Root(std::span<std::uint8_t const> bytes) {
    std::optional<Node> root = ReadNode(bytes, 0, bytes.size());
    if (!root || root->key != L"VS_VERSION_INFO") return std::nullopt;
    return root;
}

// A string node's text, up to its terminator.
std::wstring TextValue(std::span<std::uint8_t const> bytes, Node const& node) {
    std::wstring text;
    for (std::size_t at = node.value; at + 2 <= node.value + node.valueSize; at += 2) {
        wchar_t const c = static_cast<wchar_t>(Word(bytes, at));
        if (c == L'\0') break;
        text.push_back(c);
    }
    return text;
}

}  // namespace

std::optional<std::wstring> VersionString(std::span<std::uint8_t const> resource, std::wstring_view table,
                                          std::wstring_view name) {
    std::optional<Node> node = Root(resource);
    for (std::wstring_view key : {std::wstring_view(L"StringFileInfo"), table, name}) {
        if (node) node = Child(resource, *node, key);
    }
    if (!node) return std::nullopt;
    return TextValue(resource, *node);
}

std::optional<std::wstring> VersionStringOfAnyTable(std::span<std::uint8_t const> resource, std::wstring_view name) {
    std::optional<Node> root = Root(resource);
    std::optional<Node> const strings = root ? Child(resource, *root, L"StringFileInfo") : std::nullopt;
    if (!strings) return std::nullopt;
    for (std::size_t at = strings->children; at < strings->end;) {
        std::optional<Node> const table = ReadNode(resource, at, strings->end);
        if (!table) return std::nullopt;
        if (std::optional<Node> const node = Child(resource, *table, name)) return TextValue(resource, *node);
        at = Aligned(table->end);
    }
    return std::nullopt;
}

std::optional<FileVersion> VersionNumbers(std::span<std::uint8_t const> resource) {
    std::optional<Node> const root = Root(resource);
    if (!root || root->valueSize < kFixedInfoBytes) return std::nullopt;
    auto const dword = [&](std::size_t index) {
        std::size_t const at = root->value + 4 * index;
        return static_cast<std::uint32_t>(Word(resource, at)) | (static_cast<std::uint32_t>(Word(resource, at + 2)) << 16);
    };
    if (dword(0) != kFixedSignature) return std::nullopt;
    std::uint32_t const ms = dword(2);
    std::uint32_t const ls = dword(3);
    return FileVersion{static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
                       static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
}

}  // namespace vigilon
