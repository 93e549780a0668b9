#include "brand/version_edit.h"

namespace {

constexpr char16_t kDefaultTable[] = u"040904B0";
constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kUnicodeCodePage = 1200;

VersionBlock GroupBlock(const std::u16string& key) {
  VersionBlock block;
  block.key = key;
  block.type = 1;
  return block;
}

VersionBlock* StringFileInfo(VersionBlock* root) {
  for (VersionBlock& child : root->children) {
    if (child.key == u"StringFileInfo") return &child;
  }
  root->children.insert(root->children.begin(),
                        GroupBlock(u"StringFileInfo"));
  return &root->children.front();
}

void SetString(VersionBlock* table, const std::u16string& key,
               const std::u16string& text) {
  VersionBlock replacement = TextBlock(key, text);
  for (VersionBlock& string : table->children) {
    if (string.key == key) {
      replacement.type = string.type;
      string = replacement;
      return;
    }
  }
  table->children.push_back(replacement);
}

}  // namespace

void ApplyVersionEdits(const VersionEdits& edits, VersionBlock* root) {
  if (edits.fixedVersion) {
    const std::array<std::uint16_t, 4>& v = *edits.fixedVersion;
    std::uint32_t ms = (std::uint32_t{v[0]} << 16) | v[1];
    std::uint32_t ls = (std::uint32_t{v[2]} << 16) | v[3];
    PutU32(root->value, 8, ms);    // dwFileVersionMS
    PutU32(root->value, 12, ls);   // dwFileVersionLS
    PutU32(root->value, 16, ms);   // dwProductVersionMS
    PutU32(root->value, 20, ls);   // dwProductVersionLS
  }
  if (edits.strings.empty()) return;
  VersionBlock* info = StringFileInfo(root);
  if (info->children.empty()) info->children.push_back(GroupBlock(kDefaultTable));
  for (VersionBlock& table : info->children) {
    for (const auto& [key, text] : edits.strings) SetString(&table, key, text);
  }
}

VersionBlock NewVersionResource() {
  VersionBlock root;
  root.key = u"VS_VERSION_INFO";
  root.valueLength = kFixedFileInfoSize;
  root.value.assign(kFixedFileInfoSize, 0);
  PutU32(root.value, 0, kFixedFileInfoSignature);
  PutU32(root.value, 4, 0x00010000);   // dwStrucVersion
  PutU32(root.value, 24, 0x3f);        // dwFileFlagsMask
  PutU32(root.value, 32, 0x00040004);  // dwFileOS: VOS_NT_WINDOWS32
  PutU32(root.value, 36, 1);           // dwFileType: VFT_APP
  VersionBlock info = GroupBlock(u"StringFileInfo");
  info.children.push_back(GroupBlock(kDefaultTable));
  root.children.push_back(info);
  VersionBlock translation;
  translation.key = u"Translation";
  translation.valueLength = 4;
  AppendU16(translation.value, kEnglishUs);
  AppendU16(translation.value, kUnicodeCodePage);
  VersionBlock vars = GroupBlock(u"VarFileInfo");
  vars.children.push_back(translation);
  root.children.push_back(vars);
  return root;
}
