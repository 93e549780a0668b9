#include "brand/brand_main.h"

#include "brand/brand_image.h"
#include "brand/brand_options.h"
#include "brand/file_io.h"
#include "brand/utf.h"
#include "settings/version.h"

namespace {

constexpr std::size_t kMaxExecutableSize = 512u << 20;
constexpr std::size_t kMaxIconSize = 64u << 20;
constexpr std::size_t kMaxConfigSize = 1u << 20;

int Refuse(std::ostream& err, int code, const std::string& text) {
  err << "launcher-brand: " << text << "\n";
  return code;
}

// "Tool" of "Tool.exe", "Tool.EXE"; other names stay whole.
std::string WithoutExe(const std::string& name) {
  if (name.size() < 4) return name;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return tail == ".exe" ? name.substr(0, name.size() - 4) : name;
}

void AddString(VersionEdits* edits, const char16_t* key,
               const std::string& utf8) {
  std::u16string text;
  Utf8ToUtf16(utf8, &text);  // checked when the options were read
  edits->strings.push_back({key, text});
}

VersionEdits VersionEditsOf(const BrandOptions& o) {
  VersionEdits edits;
  const std::pair<const char16_t*, const std::optional<std::string>*>
      strings[] = {{u"CompanyName", &o.company},
                   {u"FileDescription", &o.description},
                   {u"FileVersion", &o.versionText},
                   {u"LegalCopyright", &o.copyright},
                   {u"ProductName", &o.productName},
                   {u"ProductVersion", &o.versionText}};
  for (const auto& [key, value] : strings) {
    if (*value) AddString(&edits, key, **value);
  }
  std::string name = FileNameOf(o.output);
  AddString(&edits, u"InternalName", WithoutExe(name));
  AddString(&edits, u"OriginalFilename", name);
  edits.fixedVersion = o.versionNumbers;
  return edits;
}

}  // namespace

int BrandMain(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
  BrandOptions options;
  std::string error;
  if (!ParseBrandOptions(args, &options, &error)) {
    return Refuse(err, kExitUsage, error);
  }
  if (options.showHelp) {
    out << BrandUsage();
    return kExitOk;
  }
  if (options.showVersion) {
    out << "launcher-brand " LAUNCHER_VERSION "\n";
    return kExitOk;
  }
  BrandRequest request;
  request.version = VersionEditsOf(options);
  request.executionLevel = options.executionLevel;
  Bytes input, file;
  if (!ReadWholeFile(options.input, kMaxExecutableSize, &input, &error)) {
    return Refuse(err, kExitRefused, error);
  }
  if (options.icon) {
    std::vector<IconImage> images;
    if (!ReadWholeFile(*options.icon, kMaxIconSize, &file, &error)) {
      return Refuse(err, kExitRefused, error);
    }
    if (!ParseIconFile(file, &images, &error)) {
      return Refuse(err, kExitRefused, *options.icon + ": " + error);
    }
    request.icon = std::move(images);
  }
  if (options.config) {
    if (!ReadWholeFile(*options.config, kMaxConfigSize, &file, &error)) {
      return Refuse(err, kExitRefused, error);
    }
    request.config = std::move(file);
  }
  Bytes output;
  std::vector<std::string> warnings;
  if (!BrandImage(input, request, &output, &warnings, &error)) {
    return Refuse(err, kExitRefused, options.input + ": " + error);
  }
  if (!ReplaceFile(options.output, output, &error)) {
    return Refuse(err, kExitRefused, error);
  }
  for (const std::string& warning : warnings) {
    err << "launcher-brand: warning: " << warning << "\n";
  }
  return kExitOk;
}
