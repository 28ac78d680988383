// Name rules of the image: Joliet names as given (UCS-2, at most 64 units)
// and ISO 9660 level 3 primary identifiers made of d-characters.
#pragma once

#include "error.h"

#include <string>
#include <unordered_set>

namespace disc::iso {

constexpr size_t kMaxJolietUnits = 64;

// Checks that Joliet can hold the name and gives its UCS-2 form.
Error jolietName(const std::string& name, std::u16string& out);
// The form two names are compared in: equal folded names differ in case only.
std::u16string foldedName(const std::u16string& name);

// Makes primary identifiers unique within one folder: folders "NAME" of up to
// 31 d-characters, files "NAME.EXT" with name and extension of up to 30.
class PrimaryNamer {
public:
    std::string folderName(const std::string& name);
    std::string fileName(const std::string& name);

private:
    std::string unique(const std::string& base, const std::string& ext, bool file);
    std::unordered_set<std::string> used_;
};

}  // namespace disc::iso
