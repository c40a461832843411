#include "practice/CodeTables.h"

#include <array>
#include <utility>

namespace quillory::codes {

namespace {

using Row = std::pair<std::string_view, std::string_view>;

// Compares as if stored were upper-cased; only a-z change, other bytes stay as they are.
bool equalsUpperCased(std::string_view stored, std::string_view listed) {
    if (stored.size() != listed.size())
        return false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        char c = stored[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != listed[i])
            return false;
    }
    return true;
}

template <std::size_t N>
std::string_view lookup(const std::array<Row, N>& rows, std::string_view stored,
                        std::string_view otherwise, bool upperCase = false) {
    for (const auto& [listed, code] : rows) {
        if (upperCase ? equalsUpperCased(stored, listed) : stored == listed)
            return code;
    }
    return otherwise;
}

std::string_view firstCharacter(std::string_view text) {
    return text.substr(0, 1);
}

} // namespace

std::string_view maritalStatus(std::string_view stored) {
    static constexpr std::array<Row, 2> rows{{{"Unknown", ""}, {"Legally separated", "X"}}};
    return lookup(rows, stored, firstCharacter(stored));
}

std::string_view sexOrUnknownWhenNull(bool isNull, std::string_view stored) {
    return isNull ? "U" : firstCharacter(stored);
}

std::string_view sexOrUnknownWhenEmpty(std::string_view stored) {
    return stored.empty() ? "U" : firstCharacter(stored);
}

std::string_view employmentStatus(std::string_view stored) {
    static constexpr std::array<Row, 3> rows{
        {{"Full time", "F"}, {"Part time", "P"}, {"Retired", "R"}}};
    return lookup(rows, stored, "U");
}

std::string_view guarantorRelationship(bool guarantorFound, std::string_view guarantorChart,
                                       std::string_view patientChart) {
    return guarantorFound && guarantorChart == patientChart ? "18" : "21";
}

std::string_view insuredRelationship(std::string_view stored) {
    static constexpr std::array<Row, 3> rows{{{"Self", "18"}, {"Spouse", "01"}, {"Child", "19"}}};
    return lookup(rows, stored, "99");
}

std::string_view planType(std::string_view carrierType) {
    static constexpr std::array<Row, 12> rows{{{"OTHER", "Other"},
                                               {"MEDICARE", "Medicare"},
                                               {"MEDICAID", "Medicaid"},
                                               {"CHAMPUS", "Other"},
                                               {"CHAMPSVA", "Other"},
                                               {"GROUP", "Other"},
                                               {"FECA", "Other"},
                                               {"BLUE CROSS/SHIELD", "BCBS"},
                                               {"WORKER'S COMPENSA", "Other"},
                                               {"WORKER'S COMP", "Other"},
                                               {"HMO", "HMO"},
                                               {"PPO", "PPO"}}};
    return lookup(rows, carrierType, "Other", true);
}

std::string_view workersCompensationFlag(std::string_view carrierType) {
    static constexpr std::array<Row, 2> rows{{{"WORKER'S COMPENSA", "Y"}, {"WORKER'S COMP", "Y"}}};
    return lookup(rows, carrierType, "N", true);
}

} // namespace quillory::codes
