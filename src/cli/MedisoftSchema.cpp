#include "cli/MedisoftSchema.h"

#include <string>

namespace quillory::cli::schema {

using ads::FieldSpec;
using ads::FieldType;

FieldSpec chars(const char* name, std::uint16_t width) {
    return {name, FieldType::Character, width};
}
FieldSpec date(const char* name) {
    return {name, FieldType::Date};
}
FieldSpec timestamp(const char* name) {
    return {name, FieldType::Timestamp};
}

std::vector<FieldSpec> patientFields() {
    return {chars("Chart Number", 8),
            chars("Last Name", 25),
            chars("First Name", 15),
            chars("Middle Initial", 1),
            chars("Street 1", 30),
            chars("Street 2", 30),
            chars("City", 20),
            chars("State", 2),
            chars("Zip Code", 10),
            chars("Phone 1", 15),
            chars("Phone 2", 15),
            chars("Social Security Number", 11),
            chars("Sex", 6),
            date("Date of Birth"),
            chars("Employment Status", 12),
            chars("Employer", 5),
            chars("Patient Type", 12),
            timestamp("Date Modified")};
}

std::vector<FieldSpec> caseFields() {
    std::vector<FieldSpec> fields{{"Case Number", FieldType::Integer},
                                  chars("Chart Number", 8),
                                  chars("Description", 30),
                                  chars("Guarantor", 8),
                                  chars("Marital Status", 17),
                                  timestamp("Date Modified")};
    for (int n = 1; n <= 3; ++n) {
        const std::string k = std::to_string(n);
        fields.push_back({"Insurance Carrier #" + k, FieldType::Character, 5});
        fields.push_back({"Insured #" + k, FieldType::Character, 8});
        fields.push_back({"Insured Relationship #" + k, FieldType::Character, 6});
        fields.push_back({"Group Number #" + k, FieldType::Character, 20});
        fields.push_back({"Policy Number #" + k, FieldType::Character, 20});
        fields.push_back({"Policy #" + k + " Start Date", FieldType::Date});
        fields.push_back({"Policy #" + k + " End Date", FieldType::Date});
    }
    return fields;
}

int slotField(int slot, SlotField field) {
    return C_Slots + slot * S_Count + field;
}

std::vector<FieldSpec> addressFields() {
    return {chars("Code", 5),      chars("Name", 30),  chars("Street 1", 30),
            chars("Street 2", 30), chars("City", 20),  chars("State", 2),
            chars("Zip Code", 10), chars("Phone", 15), chars("Type", 12)};
}

std::vector<FieldSpec> carrierFields() {
    return {chars("Code", 5),      chars("Name", 60), chars("Street 1", 30), chars("Street 2", 30),
            chars("City", 20),     chars("State", 2), chars("Zip Code", 10), chars("Phone", 15),
            chars("Extension", 6), chars("Fax", 15),  chars("Type", 17)};
}

} // namespace quillory::cli::schema
