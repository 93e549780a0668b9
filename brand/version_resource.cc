#include "brand/version_resource.h"

#include <algorithm>
#include <utility>

#include "brand/utf.h"

namespace {

// VS_VERSIONINFO > StringFileInfo > string table > string.
constexpr int kMaxDepth = 4;
constexpr std::size_t kBlockHeaderSize = 6;

bool Fail(std::string* error, const std::string& text) {
  *error = "version resource: " + text;
  return false;
}

bool ParseBlock(const Bytes& data, std::size_t at, std::size_t limit,
                int depth, VersionBlock* block, std::size_t* end,
                std::string* error) {
  if (depth > kMaxDepth) return Fail(error, "blocks nested too deeply");
  if (!InBounds(limit, at, kBlockHeaderSize)) {
    return Fail(error, "a block runs past its parent");
  }
  std::uint16_t length = GetU16(data, at);
  block->valueLength = GetU16(data, at + 2);
  block->type = GetU16(data, at + 4);
  if (length < kBlockHeaderSize || !InBounds(limit, at, length)) {
    return Fail(error, "a block has a bad length");
  }
  *end = at + length;
  std::size_t pos = at + kBlockHeaderSize;
  block->key.clear();
  while (true) {
    if (pos + 2 > *end) return Fail(error, "a key runs past its block");
    char16_t c = GetU16(data, pos);
    pos += 2;
    if (c == 0) break;
    block->key.push_back(c);
  }
  pos = static_cast<std::size_t>(AlignUp(pos, 4));
  std::size_t valueSize = block->type == 1
                              ? std::size_t{block->valueLength} * 2
                              : block->valueLength;
  if (valueSize != 0 && !InBounds(*end, pos, valueSize)) {
    std::string key;
    Utf16ToUtf8(block->key, &key);
    return Fail(error, "the value of \"" + key + "\" runs past its block");
  }
  block->value.assign(data.begin() + (valueSize ? pos : 0),
                      data.begin() + (valueSize ? pos + valueSize : 0));
  pos = static_cast<std::size_t>(AlignUp(pos + valueSize, 4));
  block->children.clear();
  while (pos < *end) {
    VersionBlock child;
    std::size_t childEnd = 0;
    if (!ParseBlock(data, pos, *end, depth + 1, &child, &childEnd, error)) {
      return false;
    }
    block->children.push_back(std::move(child));
    pos = static_cast<std::size_t>(AlignUp(childEnd, 4));
  }
  return true;
}

bool WriteBlock(const VersionBlock& block, Bytes* out, std::string* error) {
  std::size_t start = out->size();
  AppendU16(*out, 0);
  AppendU16(*out, block.valueLength);
  AppendU16(*out, block.type);
  for (char16_t c : block.key) AppendU16(*out, c);
  AppendU16(*out, 0);
  PadTo(*out, 4);
  out->insert(out->end(), block.value.begin(), block.value.end());
  for (const VersionBlock& child : block.children) {
    PadTo(*out, 4);
    if (!WriteBlock(child, out, error)) return false;
  }
  std::size_t length = out->size() - start;
  if (length > 0xffff) return Fail(error, "it would exceed 64 KiB");
  PutU16(*out, start, static_cast<std::uint16_t>(length));
  return true;
}

}  // namespace

bool ParseVersionResource(const Bytes& data, VersionBlock* root,
                          std::string* error) {
  std::size_t end = 0;
  if (!ParseBlock(data, 0, data.size(), 1, root, &end, error)) return false;
  if (root->key != u"VS_VERSION_INFO") {
    return Fail(error, "the root block is not VS_VERSION_INFO");
  }
  if (root->value.size() != kFixedFileInfoSize ||
      GetU32(root->value, 0) != kFixedFileInfoSignature) {
    return Fail(error, "no VS_FIXEDFILEINFO with its signature");
  }
  return true;
}

bool SerializeVersionResource(const VersionBlock& root, Bytes* out,
                              std::string* error) {
  out->clear();
  return WriteBlock(root, out, error);
}

VersionBlock TextBlock(const std::u16string& key, const std::u16string& text) {
  VersionBlock block;
  block.key = key;
  block.type = 1;
  block.valueLength = static_cast<std::uint16_t>(
      std::min<std::size_t>(text.size() + 1, 0xffff));
  for (char16_t c : text) AppendU16(block.value, c);
  AppendU16(block.value, 0);
  return block;
}

std::u16string BlockText(const VersionBlock& block) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < block.value.size(); i += 2) {
    char16_t c = GetU16(block.value, i);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}
