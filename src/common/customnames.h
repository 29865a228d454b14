// Customisation names: display names of the maker's models (indexed by model
// code) and a few branding texts, from the optional file "PERSONAL.INI"
// (section "Personal") in the program folder.
#pragma once

#include <QString>

#include <array>
#include <string>

namespace pelix {

constexpr int kModelNameCount = 53;  // model codes 0..52

struct CustomNames {
    std::array<std::string, kModelNameCount> names{};
    std::string Logo;
    std::string LogoSoft;
    std::string AddressWeb;
    std::string Modem;
    std::string Firm;
    std::string Cennetsw;
};

// Reads "PERSONAL.INI" from `folder`; without the file the built-in names apply.
CustomNames ReadCustomNames(const QString& folder);

// One value of an INI file section (keys and sections without regard to case);
// returns false when the file, the section or the key is absent.
bool ReadIniValue(const QString& file, const std::string& section, const std::string& key, std::string& value);

}  // namespace pelix
