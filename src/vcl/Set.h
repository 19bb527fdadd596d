#pragma once

#include <bitset>

// The library's small set of enumeration values, written the old way:
// `TMsgDlgButtons() << mbOK`.
template <class T, T First, T Last>
class Set {
public:
    Set& operator<<(T value)
    {
        bits_.set(index(value));
        return *this;
    }
    bool Contains(T value) const { return bits_.test(index(value)); }
    bool Empty() const { return bits_.none(); }

private:
    static constexpr std::size_t kSize = static_cast<std::size_t>(Last) - static_cast<std::size_t>(First) + 1;
    static std::size_t index(T value) { return static_cast<std::size_t>(value) - static_cast<std::size_t>(First); }
    std::bitset<kSize> bits_;
};
