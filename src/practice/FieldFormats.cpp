#include "practice/FieldFormats.h"

#include <cstdio>

namespace quillory::formats {

namespace {

// Digits beyond what any rule uses only matter for their count.
struct Digits {
    char text[16];
    std::size_t count = 0;

    explicit Digits(std::string_view source) {
        for (char c : source) {
            if (c < '0' || c > '9')
                continue;
            if (count < sizeof text)
                text[count] = c;
            ++count;
        }
    }
    std::string_view first(std::size_t n) const { return {text, n}; }
    std::string_view range(std::size_t from, std::size_t n) const { return {text + from, n}; }
};

void appendTwoDigits(std::string& out, int value) {
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

} // namespace

void appendDate(std::string& out, const std::optional<LocalDateTime>& date) {
    if (!date)
        return;
    char year[8];
    std::snprintf(year, sizeof year, "%04d", date->year % 10000);
    out.append(year);
    appendTwoDigits(out, date->month);
    appendTwoDigits(out, date->day);
}

void appendDigits(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c >= '0' && c <= '9')
            out.push_back(c);
    }
}

void appendZip(std::string& out, std::string_view zipCode) {
    const Digits digits(zipCode);
    if (digits.count == 9) {
        out.append(digits.first(5));
        out.push_back('-');
        out.append(digits.range(5, 4));
    } else if (digits.count == 5) {
        out.append(digits.first(5));
    }
}

void appendPhone(std::string& out, std::string_view phone) {
    const Digits digits(phone);
    if (digits.count == 10) {
        out.append(digits.first(3));
        out.push_back('^');
        out.append(digits.range(3, 7));
    } else if (digits.count == 7) {
        out.push_back('^');
        out.append(digits.first(7));
    } else {
        out.push_back('^');
    }
}

void appendCarrierPhone(std::string& out, std::string_view phone) {
    appendPhone(out, phone);
    out.push_back('^');
}

} // namespace quillory::formats
