// The small "key=value" text format of the drive and medium descriptions.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace disc {

class KeyValueText {
public:
    static KeyValueText parse(const std::string& text);

    void add(const std::string& key, const std::string& value);
    void add(const std::string& key, uint64_t value);
    std::string text() const;

    // The first value of a key, or the fallback.
    std::string get(const std::string& key, const std::string& fallback = std::string()) const;
    uint64_t number(const std::string& key, uint64_t fallback = 0) const;
    std::vector<std::string> all(const std::string& key) const;

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

std::vector<uint32_t> parseNumberList(const std::string& text);  // "1,2,3"
std::string formatNumberList(const std::vector<uint32_t>& values);

}  // namespace disc
