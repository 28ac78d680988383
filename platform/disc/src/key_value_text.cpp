#include "key_value_text.h"

#include <cstdlib>
#include <sstream>

namespace disc {

KeyValueText KeyValueText::parse(const std::string& text) {
    KeyValueText kv;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        kv.add(line.substr(0, eq), line.substr(eq + 1));
    }
    return kv;
}

void KeyValueText::add(const std::string& key, const std::string& value) { entries_.emplace_back(key, value); }
void KeyValueText::add(const std::string& key, uint64_t value) { add(key, std::to_string(value)); }

std::string KeyValueText::text() const {
    std::string out;
    for (const auto& [key, value] : entries_) out += key + "=" + value + "\n";
    return out;
}

std::string KeyValueText::get(const std::string& key, const std::string& fallback) const {
    for (const auto& [k, v] : entries_)
        if (k == key) return v;
    return fallback;
}

uint64_t KeyValueText::number(const std::string& key, uint64_t fallback) const {
    std::string v = get(key);
    if (v.empty()) return fallback;
    return std::strtoull(v.c_str(), nullptr, 0);
}

std::vector<std::string> KeyValueText::all(const std::string& key) const {
    std::vector<std::string> out;
    for (const auto& [k, v] : entries_)
        if (k == key) out.push_back(v);
    return out;
}

std::vector<uint32_t> parseNumberList(const std::string& text) {
    std::vector<uint32_t> out;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty()) out.push_back(static_cast<uint32_t>(std::strtoul(item.c_str(), nullptr, 0)));
    return out;
}

std::string formatNumberList(const std::vector<uint32_t>& values) {
    std::string out;
    for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + std::to_string(values[i]);
    return out;
}

}  // namespace disc
