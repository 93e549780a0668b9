// ReplaceResourceSection: the copy of a PE image with a new resource
// section, the sections after it moved and the headers brought up to date.
#include <algorithm>
#include <utility>

#include "brand/pe_image.h"

namespace {

constexpr std::uint32_t kInitializedData = 0x00000040;

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

// A section after the resource section may move only when nothing but its
// own data directory (the base relocations) points into it: the relocation
// blocks name the pages of other sections, never their own addresses.
bool IsMovable(const PeImage& image, const PeSection& s) {
  if (s.name != ".reloc") return false;
  for (std::size_t i = 0; i < image.directories.size(); ++i) {
    const DataDirectory& d = image.directories[i];
    if (i == kDirectorySecurity || i == kDirectoryBaseReloc) continue;
    if (d.address != 0 && d.address >= s.virtualAddress &&
        d.address < s.VirtualEnd()) {
      return false;
    }
  }
  return true;
}

// Checks that every data directory but the signature's points into the
// headers or into a section, and none into the resource section besides its
// own: a directory that pointed at unused addresses could otherwise end up
// inside a moved section.
bool CheckDirectories(const PeImage& image, std::string* error) {
  for (std::size_t d = 0; d < image.directories.size(); ++d) {
    std::uint32_t address = image.directories[d].address;
    if (d == kDirectorySecurity || address == 0 ||
        address < image.sections.front().virtualAddress) {
      continue;
    }
    auto inside = std::find_if(
        image.sections.begin(), image.sections.end(),
        [&](const PeSection& s) {
          return address >= s.virtualAddress && address < s.VirtualEnd();
        });
    if (inside == image.sections.end() ||
        (d != kDirectoryResource &&
         inside - image.sections.begin() ==
             static_cast<std::ptrdiff_t>(image.resourceSection))) {
      return Fail(error, "data directory " + std::to_string(d) +
                             " points at no section, or into the resource "
                             "section");
    }
  }
  return true;
}

// Checks that the sections before the resource section lie before it in the
// file and that every one after it can be moved.
bool CheckLayout(const PeImage& image, std::string* error) {
  if (!CheckDirectories(image, error)) return false;
  const PeSection& rsrc = image.sections[image.resourceSection];
  if (image.sections.back().headerOffset + 40 > rsrc.rawOffset) {
    return Fail(error, "the headers overlap the resource section");
  }
  for (std::size_t i = 0; i < image.sections.size(); ++i) {
    const PeSection& s = image.sections[i];
    if (i < image.resourceSection) {
      if (s.rawSize != 0 && s.rawOffset + std::uint64_t{s.rawSize} >
                                rsrc.rawOffset) {
        return Fail(error, "section " + s.name +
                               " lies after the resource section in the file");
      }
    } else if (i > image.resourceSection) {
      if (!IsMovable(image, s)) {
        return Fail(error, "section " + s.name +
                               " follows the resource section and cannot be "
                               "moved");
      }
      if (s.rawSize != 0 && s.rawOffset < rsrc.rawOffset + std::uint64_t{
                                              rsrc.rawSize}) {
        return Fail(error, "section " + s.name +
                               " overlaps the resource section in the file");
      }
    }
  }
  return true;
}

// The bytes after the last section up to `end`, without an Authenticode
// certificate.
bool Overlay(const PeImage& image, std::size_t end, Bytes* overlay,
             std::size_t* certStart, std::size_t* certSize,
             std::vector<std::string>* warnings, std::string* error) {
  const Bytes& f = image.file;
  *certStart = *certSize = 0;
  DataDirectory cert;
  if (image.directories.size() > kDirectorySecurity) {
    cert = image.directories[kDirectorySecurity];
  }
  if (cert.address != 0 || cert.size != 0) {
    if (cert.address < image.sectionsEnd ||
        !InBounds(f.size(), cert.address, cert.size)) {
      return Fail(error, "the signature is not at the end of the file");
    }
    *certStart = cert.address;
    *certSize = cert.size;
    warnings->push_back(
        "the input's Authenticode signature removed; sign the output again");
  }
  if (end < image.sectionsEnd || end > f.size()) {
    return Fail(error, "the archive does not follow the sections");
  }
  overlay->assign(f.begin() + image.sectionsEnd, f.begin() + end);
  if (*certSize != 0 && *certStart + *certSize <= end) {
    auto at = overlay->begin() + (*certStart - image.sectionsEnd);
    overlay->erase(at, at + *certSize);
  }
  return true;
}

bool AddSized(std::uint32_t base, std::int64_t delta, std::uint32_t* out) {
  std::int64_t v = std::int64_t{base} + delta;
  if (v < 0 || v > 0xffffffffLL) return false;
  *out = static_cast<std::uint32_t>(v);
  return true;
}

}  // namespace

bool ReplaceResourceSection(const PeImage& image, const Bytes& resources,
                            std::size_t overlayEnd, Bytes* output,
                            std::vector<std::string>* warnings,
                            std::string* error) {
  if (!CheckLayout(image, error)) return false;
  Bytes overlay;
  std::size_t certStart, certSize;
  if (!Overlay(image, overlayEnd, &overlay, &certStart, &certSize, warnings,
               error)) {
    return false;
  }
  const Bytes& f = image.file;
  const PeSection& oldRsrc = image.sections[image.resourceSection];
  if (resources.size() > 0x7fffffff) {
    return Fail(error, "the resources are too large");
  }
  Bytes out(f.begin(), f.begin() + oldRsrc.rawOffset);
  std::vector<PeSection> sections = image.sections;
  std::vector<DataDirectory> directories = image.directories;

  PeSection& rsrc = sections[image.resourceSection];
  rsrc.virtualSize = static_cast<std::uint32_t>(resources.size());
  out.insert(out.end(), resources.begin(), resources.end());
  PadTo(out, image.fileAlignment);
  rsrc.rawSize = static_cast<std::uint32_t>(out.size() - rsrc.rawOffset);
  directories[kDirectoryResource] = {rsrc.virtualAddress, rsrc.virtualSize};

  std::uint64_t nextAddress = AlignUp(rsrc.VirtualEnd(),
                                      image.sectionAlignment);
  for (std::size_t i = image.resourceSection + 1; i < sections.size(); ++i) {
    PeSection& s = sections[i];
    const PeSection& old = image.sections[i];
    if (nextAddress > 0xffffffffULL) {
      return Fail(error, "the image would grow past 4 GiB");
    }
    s.virtualAddress = static_cast<std::uint32_t>(nextAddress);
    if (old.rawSize != 0) {
      s.rawOffset = static_cast<std::uint32_t>(out.size());
      out.insert(out.end(), f.begin() + old.rawOffset,
                 f.begin() + old.rawOffset + old.rawSize);
      PadTo(out, image.fileAlignment);
      s.rawSize = static_cast<std::uint32_t>(out.size() - s.rawOffset);
    }
    for (std::size_t d = 0; d < directories.size(); ++d) {
      DataDirectory& dir = directories[d];
      if (d != kDirectorySecurity && dir.address != 0 &&
          dir.address >= old.virtualAddress &&
          dir.address < old.VirtualEnd()) {
        dir.address = dir.address - old.virtualAddress + s.virtualAddress;
      }
    }
    nextAddress = AlignUp(s.VirtualEnd(), image.sectionAlignment);
  }
  if (out.size() > 0xffffffffULL - overlay.size()) {
    return Fail(error, "the file would grow past 4 GiB");
  }
  const std::size_t newSectionsEnd = out.size();
  out.insert(out.end(), overlay.begin(), overlay.end());

  for (const PeSection& s : sections) {
    PutU32(out, s.headerOffset + 8, s.virtualSize);
    PutU32(out, s.headerOffset + 12, s.virtualAddress);
    PutU32(out, s.headerOffset + 16, s.rawSize);
    PutU32(out, s.headerOffset + 20, s.rawOffset);
  }
  if (directories.size() > kDirectorySecurity) {
    directories[kDirectorySecurity] = DataDirectory();
  }
  std::size_t dirAt = image.optionalOffset + (image.is64 ? 112 : 96);
  for (std::size_t d = 0; d < directories.size(); ++d) {
    PutU32(out, dirAt + 8 * d, directories[d].address);
    PutU32(out, dirAt + 8 * d + 4, directories[d].size);
  }
  const std::size_t opt = image.optionalOffset;
  std::uint64_t imageEnd = 0;
  for (const PeSection& s : sections) {
    imageEnd = std::max(imageEnd, s.VirtualEnd());
  }
  imageEnd = AlignUp(imageEnd, image.sectionAlignment);
  if (imageEnd > 0xffffffffULL) {
    return Fail(error, "the image would grow past 4 GiB");
  }
  PutU32(out, opt + 56, static_cast<std::uint32_t>(imageEnd));
  if (oldRsrc.characteristics & kInitializedData) {
    std::uint32_t initialized;
    if (!AddSized(GetU32(f, opt + 8),
                  std::int64_t{rsrc.rawSize} - oldRsrc.rawSize,
                  &initialized)) {
      return Fail(error, "SizeOfInitializedData does not fit the sections");
    }
    PutU32(out, opt + 8, initialized);
  }
  // A COFF symbol table kept in the overlay moves with it.
  std::uint32_t symbols = GetU32(f, image.coffOffset + 8);
  if (symbols != 0 && symbols >= image.sectionsEnd && symbols < overlayEnd) {
    std::int64_t moved = std::int64_t{symbols} - image.sectionsEnd +
                         std::int64_t(newSectionsEnd);
    if (certSize != 0 && symbols >= certStart + certSize &&
        certStart + certSize <= overlayEnd) {
      moved -= static_cast<std::int64_t>(certSize);
    }
    PutU32(out, image.coffOffset + 8, static_cast<std::uint32_t>(moved));
  }
  PutU32(out, ChecksumOffset(image), 0);
  PutU32(out, ChecksumOffset(image), PeChecksum(out, ChecksumOffset(image)));
  *output = std::move(out);
  return true;
}
